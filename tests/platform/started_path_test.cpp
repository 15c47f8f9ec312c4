#include "platform/posix/started_path.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace velnor::posix {
namespace {

namespace fs = std::filesystem;

// A project folder whose Config/Widget_Config is a symbolic link to this test program,
// as a project gets the installed tool by "ln -s".
class StartedPath : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "velnor-started-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "Config");
    fs::create_directories(root_ / "shadow");
    fs::create_symlink(fs::read_symlink("/proc/self/exe"), root_ / "Config" / "Widget_Config");
    // Another program of the same name, earlier in a search path.
    fs::create_symlink("/bin/sh", root_ / "shadow" / "Widget_Config");
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string At(const std::string& relative) const { return (root_ / relative).string(); }
  fs::path root_;
};

TEST_F(StartedPath, IsTheLinksOwnPathWhenItLeadsToTheRunningProgram) {
  const std::string link = At("Config/Widget_Config");
  const struct {
    std::string startedAs, workingFolder, searchPath, expected;
  } cases[] = {
      {link, "/", "", link},
      {"Config/Widget_Config", root_.string(), "", link},
      {"./Config/../Config/./Widget_Config", root_.string(), "", link},
      {"Widget_Config", "/", "/nonexistent:" + At("Config"), link},
      {"Widget_Config", At("Config"), "/nonexistent::/usr/bin", link},  // "" is the working folder
      {"Widget_Config", "/", At("shadow") + ":" + At("Config"), ""},    // the shell ran the other
      {"Widget_Config", "/", "/nonexistent", ""},
      {At("shadow/Widget_Config"), "/", "", ""},
      {"/proc/self/exe", "/", "", ""},
      {"", root_.string(), At("Config"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.startedAs + " in " + c.workingFolder + " with PATH " + c.searchPath);
    EXPECT_EQ(StartedPathOf(c.startedAs, c.workingFolder, c.searchPath, "/proc/self/exe"),
              c.expected);
  }
}

}  // namespace
}  // namespace velnor::posix
