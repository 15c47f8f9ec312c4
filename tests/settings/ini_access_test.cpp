#include "settings/ini_access.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_report.h"
#include "support/throwing_program_end.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::TestProject;

class IniAccess : public ::testing::Test {
 protected:
  std::string IniPath() const { return (project_.parameterFolder() / "Program.ini").string(); }
  void Store(const std::string& bytes) const {
    TestProject::Write(project_.parameterFolder() / "Program.ini", bytes);
  }
  std::string Stored() const {
    return TestProject::Read(project_.parameterFolder() / "Program.ini");
  }
  std::string MissingMessage(const std::string& section, const std::string& key) const {
    return "File '" + IniPath() + "' or Section [" + section + "] or Entry '" + key + "' not found";
  }

  TestProject project_;
  test::TestReport report_{project_};
  ScriptedMessageBox boxes_;
};

TEST_F(IniAccess, StringReadGivesAtMost254CharactersAndLogsACut) {
  Store("[S]\r\nLong=" + std::string(300, 'x') + "\r\nExact=" + std::string(254, 'y') + "\r\n");
  EXPECT_EQ(LoadIniString("S", "Exact", IniPath(), false, false), std::string(254, 'y'));
  EXPECT_FALSE(fs::exists(project_.errorLog()));
  EXPECT_EQ(LoadIniString("S", "Long", IniPath(), true, false), std::string(254, 'x'));
  EXPECT_NE(TestProject::Read(project_.errorLog())
                .find("LoadIniString (Nr. 6) :Entry 'Long' of section [S] in '" + IniPath() +
                      "' holds 300 characters; only the first 254 are read"),
            std::string::npos);
  EXPECT_EQ(LoadIniWholeString("S", "Long", IniPath()), std::string(300, 'x'));
}

TEST_F(IniAccess, StringReadOfMissingOrEmptyEntryIsEmptyAndReportedOnlyWhenAsked) {
  Store("[S]\r\nEmpty=\r\nPadded=  v  \r\n");
  EXPECT_EQ(LoadIniString("S", "Empty", IniPath(), true, false), "");
  EXPECT_EQ(LoadIniString("S", "Absent", IniPath(), true, false), "");
  EXPECT_EQ(LoadIniString("S", "Padded", IniPath(), true, true), "v");
  EXPECT_TRUE(boxes_.shown().empty());

  EXPECT_EQ(LoadIniString("S", "Empty", IniPath(), true, true), "");
  ASSERT_EQ(boxes_.shown().size(), 1u);
  EXPECT_EQ(boxes_.shown()[0].text, MissingMessage("S", "Empty"));
  EXPECT_EQ(boxes_.shown()[0].style, kStyleCritical);
  EXPECT_EQ(boxes_.shown()[0].title, "Widget_Config");
}

TEST_F(IniAccess, MissingEntryGoesToTheServicePackLogInSilentMode) {
  test::TestReport silent(project_, /*silent=*/true);
  EXPECT_EQ(LoadIniString("S", "K", IniPath(), true, true), "");
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_EQ(TestProject::Read(project_.servicePackLog()),
            "! Fault Widget_Config: " + MissingMessage("S", "K") + "\r\n");
}

TEST_F(IniAccess, IntegerReadOfAbsentEntryIsMinusOne) {
  Store("[S]\r\nEmpty=\r\nText=abc\r\nMax=32767\r\nMin=-32768\r\n");
  EXPECT_EQ(LoadIniInteger("S", "Absent", IniPath(), true, false), -1);
  EXPECT_EQ(LoadIniInteger("S", "Empty", IniPath(), true, false), -1);
  EXPECT_EQ(LoadIniInteger("S", "Text", IniPath(), true, false), 0);
  EXPECT_EQ(LoadIniInteger("S", "Max", IniPath(), true, false), 32767);
  EXPECT_EQ(LoadIniInteger("S", "Min", IniPath(), true, false), -32768);
  EXPECT_EQ(LoadIniInteger("S", "K", (project_.base() / "none.ini").string(), true, false), -1);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(IniAccess, StoredMinusOneIsReportedLikeAMissingEntry) {
  Store("[S]\r\nMinus=-1\r\nWrapped=4294967295\r\nZero=0\r\n");
  EXPECT_EQ(LoadIniInteger("S", "Zero", IniPath(), true, true), 0);
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_EQ(LoadIniInteger("S", "Minus", IniPath(), true, true), -1);
  EXPECT_EQ(LoadIniInteger("S", "Wrapped", IniPath(), true, true), -1);
  ASSERT_EQ(boxes_.shown().size(), 2u);
  EXPECT_EQ(boxes_.shown()[0].text, MissingMessage("S", "Minus"));
  EXPECT_EQ(boxes_.shown()[1].text, MissingMessage("S", "Wrapped"));
}

TEST_F(IniAccess, IntegerBeyond16BitsIsAnOverflowAndZeroOnContinuing) {
  Store("[S]\r\nBig=32768\r\nSmall=-32769\r\n");
  for (const std::string key : {"Big", "Small"}) {
    SCOPED_TRACE(key);
    boxes_.Answer(kAnswerYes);
    EXPECT_EQ(LoadIniInteger("S", key, IniPath(), true, true), 0);
  }
  ASSERT_EQ(boxes_.shown().size(), 2u);  // the overflows, no missing-entry report
  EXPECT_EQ(boxes_.shown()[0].title, "Unexpected error");
  EXPECT_EQ(boxes_.shown()[0].style, kStyleYesNo + kStyleCritical);
  const std::string log = TestProject::Read(project_.errorLog());
  EXPECT_NE(log.find("Fehler in Widget / Widget_Config / LoadIniInteger (Nr. 6) :Overflow"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("32768"), std::string::npos);
  EXPECT_NE(log.find("-32769"), std::string::npos);
}

TEST_F(IniAccess, OverflowEndsTheProgramWhenTheUserSaysNo) {
  Store("[S]\r\nBig=70000\r\n");
  ThrowingProgramEnd end;
  boxes_.Answer(kAnswerNo);
  try {
    LoadIniInteger("S", "Big", IniPath(), true, false);
    ADD_FAILURE() << "the program went on";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.exitStatus, 1);
  }
}

TEST_F(IniAccess, OverflowInSilentModeIsLoggedAndReadsZero) {
  test::TestReport silent(project_, /*silent=*/true);
  Store("[S]\r\nBig=99999\r\n");
  EXPECT_EQ(LoadIniInteger("S", "Big", IniPath(), true, false), 0);
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_NE(TestProject::Read(project_.servicePackLog()).find("Unexpected error!"),
            std::string::npos);
}

TEST_F(IniAccess, BooleanIsTrueExactlyForTrueInAnyCase) {
  Store(
      "[S]\r\nA=True\r\nB=true\r\nC=TRUE\r\nD= \"tRuE\" \r\nE=1\r\nF=yes\r\nG=\r\nH=truex\r\n"
      "I=false\r\n");
  const std::vector<std::pair<std::string, bool>> cases = {
      {"A", true},  {"B", true},  {"C", true},  {"D", true},       {"E", false},
      {"F", false}, {"G", false}, {"H", false}, {"Absent", false}, {"I", false}};
  for (const auto& [key, expected] : cases) {
    SCOPED_TRACE(key);
    EXPECT_EQ(LoadIniBoolean("S", key, IniPath(), true, false), expected);
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(IniAccess, BooleanNeitherTrueNorFalseIsReportedWhenAsked) {
  Store("[S]\r\nYes=TRUE\r\nNo=False\r\nOne=1\r\nEmpty=\r\n");
  EXPECT_TRUE(LoadIniBoolean("S", "Yes", IniPath(), true, true));
  EXPECT_FALSE(LoadIniBoolean("S", "No", IniPath(), true, true));
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_FALSE(LoadIniBoolean("S", "One", IniPath(), true, true));
  EXPECT_FALSE(LoadIniBoolean("S", "Empty", IniPath(), true, true));
  EXPECT_FALSE(LoadIniBoolean("S", "Absent", IniPath(), true, true));
  ASSERT_EQ(boxes_.shown().size(), 3u);
  EXPECT_EQ(boxes_.shown()[0].text, MissingMessage("S", "One"));
  EXPECT_EQ(boxes_.shown()[2].text, MissingMessage("S", "Absent"));
}

TEST_F(IniAccess, SaveWritesEachKindAsText) {
  struct Case {
    const char* what;
    IniValue value;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"Boolean true", true, "true"},
      {"Boolean false", false, "false"},
      {"text", std::string("1031"), "1031"},
      {"text kept exactly", std::string(" a b "), " a b "},
      {"32-bit integer", std::int32_t{7}, "7"},
      {"negative 32-bit integer", std::int32_t{-2147483647 - 1}, "-2147483648"},
      {"16-bit integer", std::int16_t{-5}, "-5"},
      {"byte is a number", std::uint8_t{200}, "200"},
      {"single float", 1.5f, "1.5"},
      {"single float without binary noise", 0.1f, "0.1"},
      {"whole double", 2.0, "2"},
      {"double", -1234.5, "-1234.5"},
      {"double without binary noise", 0.1, "0.1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Store("; kept\r\n[S]\r\nK=old\r\n");
    EXPECT_NE(SaveIni(c.value, "S", "K", IniPath()), 0);
    EXPECT_EQ(Stored(), "; kept\r\n[S]\r\nK=" + c.text + "\r\n");
  }
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(IniAccess, SaveOfUnwritableKindIsReportedAndKeepsTheStoredValue) {
  Store("[S]\r\nK=old\r\n");
  EXPECT_EQ(SaveIni(IniValue{}, "S", "K", IniPath()), 0);
  ASSERT_EQ(boxes_.shown().size(), 1u);
  EXPECT_EQ(boxes_.shown()[0].text, "Ini Save:  wrong data type");
  EXPECT_EQ(boxes_.shown()[0].style, kStyleCritical);
  EXPECT_EQ(Stored(), "[S]\r\nK=old\r\n");
}

TEST_F(IniAccess, SaveCreatesFileSectionAndKey) {
  const fs::path cfg = project_.componentFolder() / "New.cfg";
  EXPECT_NE(SaveIni("1031", "Language", "Language", cfg.string()), 0);
  EXPECT_EQ(TestProject::Read(cfg), "[Language]\r\nLanguage=1031\r\n");
  EXPECT_EQ(LoadIniString("language", "LANGUAGE", cfg.string(), true, false), "1031");
}

TEST_F(IniAccess, SaveToMissingFolderReturnsZeroWithoutMessageButLogsAndCounts) {
  const fs::path nowhere = project_.base() / "missing" / "x.ini";
  EXPECT_EQ(SaveIni(std::int32_t{7}, "S", "K", nowhere.string()), 0);
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_FALSE(fs::exists(project_.base() / "missing"));
  EXPECT_NE(TestProject::Read(project_.errorLog()).find("/ SaveIni (Nr. 75) :"), std::string::npos);
  EXPECT_TRUE(AnyFailureReported());
}

TEST_F(IniAccess, EntriesWrittenTogetherGiveTheBytesOfWritingThemOneByOne) {
  const std::vector<ProfileEntry> entries = {{"Info", "Button1", "5"},
                                             {"Info", "Bad=Key", "1"},
                                             {"Other", "K", "v"},
                                             {"info", "Button1", "6"},
                                             {"Info", "Button2", "0"}};
  for (const std::string& before : {std::string(), std::string("; head\r\n[Info]\r\nX=1")}) {
    SCOPED_TRACE(before);
    Store(before);
    for (const ProfileEntry& entry : entries)
      SaveIni(entry.value, entry.section, entry.key, IniPath());
    const std::string oneByOne = Stored();
    Store(before);
    EXPECT_EQ(SaveIniEntries(entries, IniPath()), std::vector<std::string>{"Bad=Key"});
    EXPECT_EQ(Stored(), oneByOne);
  }
}

}  // namespace
}  // namespace velnor
