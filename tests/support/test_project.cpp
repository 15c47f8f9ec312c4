#include "support/test_project.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "app/machines.h"
#include "app/start_mode.h"
#include "errors/error_report.h"
#include "platform/process.h"
#include "settings/language.h"

namespace velnor::test {

void ResetProcessState() {
  IntegratedMode = false;
  SilentMode = false;
  MachineList.clear();
  ProgramIniFile.clear();
  HelpTexts = {};
  ResetFailureReported();
}

TestProject::TestProject(const std::string& component) : component_(component) {
  std::random_device random;
  base_ = std::filesystem::temp_directory_path() /
          ("velnor_test_" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(programFolder());
  std::filesystem::create_directories(componentFolder());
  std::filesystem::create_directories(parameterFolder());

  ResetProcessState();
  ProcessFacts& facts = Process();
  facts.executableFolder = programFolder().string();
  facts.executableFileName = component + "_Config";
  facts.executableBaseName = component + "_Config";
  facts.commandLine.clear();
  facts.firstEnvironmentEntry = "USER=tester";
  facts.version = BuiltInVersion();

  if (const char* log = std::getenv("QUARN_SERVICEPACK_LOG")) previousServicePackLog_ = log;
  ::setenv("QUARN_SERVICEPACK_LOG", servicePackLog().c_str(), 1);
}

TestProject::~TestProject() {
  if (previousServicePackLog_.empty()) {
    ::unsetenv("QUARN_SERVICEPACK_LOG");
  } else {
    ::setenv("QUARN_SERVICEPACK_LOG", previousServicePackLog_.c_str(), 1);
  }
  std::error_code ignored;
  std::filesystem::remove_all(base_, ignored);
  ResetProcessState();
}

void TestProject::SetCommandLine(const std::string& commandLine) {
  Process().commandLine = commandLine;
  GetStartModeIntegrated();
}

void TestProject::Write(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string TestProject::Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace velnor::test
