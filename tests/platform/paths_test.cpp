#include "platform/paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fs_path.h"
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

// The same text composed on both systems: what Linux makes of it, and what Windows does.
struct PathCase {
  std::string given;
  std::string posix;
  std::string windows;
  std::string Expected() const { return kPathSeparator == '/' ? posix : windows; }
};

TEST(Paths, JoinAddsOneSeparator) {
  EXPECT_EQ(JoinPath("/a", "b"), std::string("/a") + kPathSeparator + "b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("C:\\", "b"), "C:\\b");
}

TEST(Paths, EitherSeparatorOfTextPathsBecomesThePlatformsOwn) {
  const std::vector<PathCase> cases = {
      {"\\var\\log\\zor\\cfg.txt", "/var/log/zor/cfg.txt", "\\var\\log\\zor\\cfg.txt"},
      {"D:\\Panel/Config", "D:/Panel/Config", "D:\\Panel\\Config"},
      {"\\\\server\\share\\cfg.txt", "//server/share/cfg.txt", "\\\\server\\share\\cfg.txt"},
      {"cfg.txt", "cfg.txt", "cfg.txt"},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.given);
    EXPECT_EQ(NativePath(c.given), c.Expected());
  }
}

// A UNC path keeps both of its leading separators on Windows, where they mean a share
// on a server; elsewhere two leading separators are the root like one.
TEST(Paths, AUncShapedPathIsTakenApartAndResolvedWhole) {
  const std::string unc = "\\\\server\\share\\Panel\\cfg.txt";
  EXPECT_EQ(FolderOf(unc), "\\\\server\\share\\Panel");
  EXPECT_EQ(FileNameOf(unc), "cfg.txt");
  const PathCase resolved{unc, "/server/share/Panel/cfg.txt", unc};
  EXPECT_EQ(ResolvePath(unc), resolved.Expected());
  EXPECT_FALSE(FileExists(unc));
}

TEST(Paths, MissingComponentsAreFoundWithoutRegardToCase) {
  test::TestProject project;
  test::TestProject::Write(project.parameterFolder() / "Program.ini", "[P]\r\n");
  const std::string asked = (project.base() / "PARAMETER" / "program.ini").string();
  // Windows finds the file under either spelling itself and keeps the one asked for.
  const PathCase found{asked, (project.parameterFolder() / "Program.ini").string(), asked};
  EXPECT_EQ(ResolvePath(asked), found.Expected());
  EXPECT_TRUE(FileExists(asked));
}

TEST(Paths, ANewFileIsComposedInTheFolderFound) {
  test::TestProject project;
  const std::string asked = (project.base() / "Parameter" / "New.ini").string();
  const PathCase composed{asked, (project.parameterFolder() / "New.ini").string(), asked};
  EXPECT_EQ(ResolvePath(asked), composed.Expected());
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

TEST(Paths, AFolderListingRulesOutOnlyNamesNoEntryHasInAnyCase) {
  test::TestProject project;
  test::TestProject::Write(project.parameterFolder() / FsPath("Warn_01_F\xC3\xBCller_1280.bmp"),
                           "");
  const FolderListing listing((project.base() / "PARAMETER").string());
  EXPECT_TRUE(listing.MayHold("Warn_01_F\xC3\xBCller_1280.bmp"));
  EXPECT_TRUE(listing.MayHold("WARN_01_F\xC3\x9CLLER_1280.BMP"));
  EXPECT_FALSE(listing.MayHold("Warn_02_F\xC3\xBCller_1280.bmp"));
  // A folder that cannot be listed rules out nothing.
  EXPECT_TRUE(FolderListing((project.base() / "missing").string()).MayHold("x.bmp"));
}

}  // namespace
}  // namespace velnor
