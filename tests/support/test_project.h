#pragma once
// A temporary project folder laid out as the tool expects it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/process.h"

namespace velnor::test {

// Creates <tmp>/<unique>/ as base folder with "parameter", the component folder and
// the program folder "Config" that holds the executable "<component>_Config", and points
// QUARN_SERVICEPACK_LOG into it. Removes it again at the end.
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

  // The facts of the project's executable started with this command line.
  ProcessFacts Facts(const std::string& commandLine = "") const;

  // Writes a file (bytes as given), creating its folders.
  static void Write(const std::filesystem::path& path, const std::string& bytes);
  static std::string Read(const std::filesystem::path& path);

 private:
  std::filesystem::path base_;
  std::string component_;
  std::string previousServicePackLog_;
};

}  // namespace velnor::test
