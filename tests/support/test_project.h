#pragma once
// A temporary project folder laid out as the tool expects it, and a process whose
// facts (executable location, command line, environment) the test controls.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/message_box.h"
#include "platform/program_end.h"

namespace velnor::test {

// Creates <tmp>/<unique>/ as base folder with "parameter", the component folder and
// the program folder "Config" holding the executable "<component>_Config". Removes it
// again at the end. Resets every process-wide value the tool keeps.
class TestProject {
 public:
  explicit TestProject(const std::string& component = "Widget");
  ~TestProject();
  TestProject(const TestProject&) = delete;
  TestProject& operator=(const TestProject&) = delete;

  const std::filesystem::path& base() const { return base_; }
  std::filesystem::path programFolder() const { return base_ / "Config"; }
  std::filesystem::path componentFolder() const { return base_ / component_; }
  std::filesystem::path parameterFolder() const { return base_ / "parameter"; }
  std::filesystem::path cfgPath() const { return componentFolder() / (component_ + ".cfg"); }
  std::filesystem::path errorLog() const { return base_ / "ZORcfglog.txt"; }
  std::filesystem::path servicePackLog() const { return base_ / "servicepack.log"; }
  const std::string& component() const { return component_; }

  // Sets the process command line and evaluates the start mode from it.
  void SetCommandLine(const std::string& commandLine);

  // Writes a file (bytes as given), creating its folders.
  static void Write(const std::filesystem::path& path, const std::string& bytes);
  static std::string Read(const std::filesystem::path& path);

 private:
  std::filesystem::path base_;
  std::string component_;
  std::string previousServicePackLog_;
};

// Resets IntegratedMode, SilentMode, MachineList, ProgramIniFile, HelpTexts and the
// failure record to their start values.
void ResetProcessState();

}  // namespace velnor::test
