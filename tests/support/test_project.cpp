#include "support/test_project.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/fs_path.h"
#include "support/system.h"

namespace velnor::test {

TestProject::TestProject(const std::string& component) : component_(component) {
  std::random_device random;
  base_ = std::filesystem::temp_directory_path() /
          ("velnor_test_" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(programFolder());
  std::filesystem::create_directories(componentFolder());
  std::filesystem::create_directories(parameterFolder());

  if (const auto log = EnvironmentVariable("QUARN_SERVICEPACK_LOG")) previousServicePackLog_ = *log;
  SetEnvironment("QUARN_SERVICEPACK_LOG", Utf8Of(servicePackLog()));
}

TestProject::~TestProject() {
  if (previousServicePackLog_.empty()) {
    UnsetEnvironment("QUARN_SERVICEPACK_LOG");
  } else {
    SetEnvironment("QUARN_SERVICEPACK_LOG", previousServicePackLog_);
  }
  std::error_code ignored;
  std::filesystem::remove_all(base_, ignored);
}

ProcessFacts TestProject::Facts(const std::string& commandLine) const {
  ProcessFacts facts;
  facts.executableFolder = programFolder().string();
  facts.executableFileName = component_ + "_Config";
  facts.executableBaseName = component_ + "_Config";
  facts.commandLine = commandLine;
  facts.firstEnvironmentEntry = "USER=tester";
  facts.version = BuiltInVersion();
  return facts;
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
