#include "platform/paths.h"

#include <gtest/gtest.h>

#include "support/test_project.h"

namespace velnor {
namespace {

TEST(Paths, TakingApartAcceptsBothSeparators) {
  EXPECT_EQ(FolderOf("D:\\Panel\\Config"), "D:\\Panel");
  EXPECT_EQ(FolderOf("/opt/panel/Config"), "/opt/panel");
  EXPECT_EQ(FileNameOf("D:\\Panel\\Config"), "Config");
  EXPECT_EQ(FileNameOf("Config"), "Config");
  EXPECT_EQ(FileNameOf("D:\\Panel\\"), "");
  EXPECT_EQ(WithoutExtension("Widget_Config.exe"), "Widget_Config");
  EXPECT_EQ(WithoutExtension("Widget_Config"), "Widget_Config");
}

TEST(Paths, JoinAddsOneSeparator) {
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
}

TEST(Paths, BackslashesOfTextPathsBecomeSeparators) {
  EXPECT_EQ(NativePath("\\var\\log\\zor\\cfg.txt"), "/var/log/zor/cfg.txt");
}

TEST(Paths, MissingComponentsAreFoundWithoutRegardToCase) {
  test::TestProject project;
  test::TestProject::Write(project.parameterFolder() / "Program.ini", "[P]\r\n");
  const std::string asked = (project.base() / "PARAMETER" / "program.ini").string();
  EXPECT_EQ(ResolvePath(asked), (project.parameterFolder() / "Program.ini").string());
  EXPECT_TRUE(FileExists(asked));
}

TEST(Paths, ANewFileIsComposedInTheFolderFound) {
  test::TestProject project;
  const std::string asked = (project.base() / "Parameter" / "New.ini").string();
  EXPECT_EQ(ResolvePath(asked), (project.parameterFolder() / "New.ini").string());
  EXPECT_FALSE(FileExists(asked));
}

TEST(Paths, AnExactNameWinsOverOneThatDiffersInCase) {
  test::TestProject project;
  test::TestProject::Write(project.base() / "a.txt", "lower");
  test::TestProject::Write(project.base() / "A.txt", "upper");
  EXPECT_EQ(ResolvePath((project.base() / "A.txt").string()), (project.base() / "A.txt").string());
}

TEST(Paths, OnlyRegularFilesExist) {
  test::TestProject project;
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(project.parameterFolder().string()));
  EXPECT_TRUE(FolderExists(project.parameterFolder().string()));
}

}  // namespace
}  // namespace velnor
