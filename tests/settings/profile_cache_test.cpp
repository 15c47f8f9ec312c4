#include "settings/profile_cache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "settings/profile.h"
#include "support/test_project.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::TestProject;

// A settings file read through a cache, as a run reads its settings.
class CachedProfile : public ::testing::Test {
 protected:
  fs::path Ini() const { return project_.parameterFolder() / "Program.ini"; }
  std::string IniPath() const { return Ini().string(); }
  void Store(const std::string& bytes) const { TestProject::Write(Ini(), bytes); }
  std::string Value(const std::string& key) const {
    return ReadProfileText("S", key, "<missing>", 255, IniPath()).text;
  }

  TestProject project_;
};

// A clock an hour ahead: every file's times lie far behind it, so a file that keeps its
// version counts as unchanged.
FileTime HourAhead() {
  return FileClockNow() + std::chrono::hours(1);
}

const std::string kBefore = "[S]\r\nA=1\r\nB=2\r\n";
const std::string kAfter = "[S]\r\nA=9\r\nB=2\r\n";  // the same size

TEST_F(CachedProfile, ReadsAFileOnceWhileItStaysAsItIs) {
  Store(kBefore);
  ProfileCache cache(HourAhead);
  EXPECT_EQ(Value("A"), "1");
  EXPECT_EQ(Value("b"), "2");
  EXPECT_EQ(ReadProfileInteger("s", "A", 0, IniPath()), 1);
  EXPECT_EQ(Value("C"), "<missing>");
  EXPECT_EQ(cache.filesRead(), 1);
}

TEST_F(CachedProfile, ReadsAFileAgainWhenItChanged) {
  struct Case {
    const char* what;
    std::function<void()> change;
    std::string expected;
    // A change that may keep the file's version on a file system with coarse times:
    // seen because the file's times are recent.
    bool mayKeepTheVersion = false;
  };
  const FileTime longAgo{std::chrono::seconds(1'000'000'000)};
  const std::vector<Case> cases = {
      {"rewritten in place, keeping its size and last-write time",
       [&] {
         Store(kAfter);
         ASSERT_TRUE(SetLastWriteTime(IniPath(), longAgo));
       },
       "9", true},
      {"replaced by a file of the same size and last-write time",
       [&] {
         const fs::path beside = project_.parameterFolder() / "new.ini";
         TestProject::Write(beside, kAfter);
         ASSERT_TRUE(SetLastWriteTime(beside.string(), longAgo));
         fs::rename(beside, Ini());
       },
       "9"},
      {"grown", [&] { Store(kBefore + "[T]\r\n"); }, "1"},
      {"written by the run itself",
       [&] { ASSERT_TRUE(WriteProfileText("S", "A", "7", IniPath())); }, "7"},
      {"removed", [&] { fs::remove(Ini()); }, "<missing>"},
      {"made a folder",
       [&] {
         fs::remove(Ini());
         fs::create_directory(Ini());
       },
       "<missing>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Ini());
    Store(kBefore);
    ASSERT_TRUE(SetLastWriteTime(IniPath(), longAgo));
    ProfileCache cache(c.mayKeepTheVersion ? std::function<FileTime()>(FileClockNow) : HourAhead);
    ASSERT_EQ(Value("A"), "1");
    c.change();
    EXPECT_EQ(Value("A"), c.expected);
  }
}

// A write within the same step of the file system's clock may keep the file's version:
// while the file's times are that recent, each read reads it again.
TEST_F(CachedProfile, ReadsAFileWhoseTimesAreRecentOnEveryRead) {
  Store(kBefore);
  ProfileCache cache([this] { return *LastWriteTime(IniPath()); });
  EXPECT_EQ(Value("A"), "1");
  EXPECT_EQ(Value("A"), "1");
  EXPECT_EQ(cache.filesRead(), 2);
}

TEST_F(CachedProfile, InnermostCacheServesTheReads) {
  Store(kBefore);
  ProfileCache outer(HourAhead);
  {
    ProfileCache inner(HourAhead);
    EXPECT_EQ(Value("A"), "1");
    EXPECT_EQ(inner.filesRead(), 1);
  }
  EXPECT_EQ(Value("A"), "1");
  EXPECT_EQ(outer.filesRead(), 1);
}

}  // namespace
}  // namespace velnor
