#include "settings/language.h"

#include <gtest/gtest.h>

#include <QPushButton>

#include "editor/help_mode.h"
#include "editor_fixture.h"
#include "settings/ini_access.h"

namespace velnor::test {
namespace {

using WindowLanguage = EditorTest;

std::string Read(const std::filesystem::path& file, const std::string& section,
                 const std::string& key) {
  return LoadIniString(section, key, file.string(), true, false);
}

TEST_F(WindowLanguage, TheFirstRunWritesEveryDesignTextOfTheWindow) {
  EditorWindow& loaded = Load();
  const auto file = LanguageFile();
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(Read(file, "Language", "Language"), "1031");
  EXPECT_EQ(Read(file, "1031", "Caption_Header_"), "Info");
  EXPECT_EQ(Read(file, "1031", "Caption_Maschine1_"), "Label1");
  EXPECT_EQ(Read(file, "1031", "Caption_Maschine7_"), "Label1");
  EXPECT_EQ(Read(file, "1031", "TTT_Bild56_"), "0");
  EXPECT_EQ(Read(file, "1031", "TTT_PicZwischen_"), "0");
  EXPECT_EQ(Read(file, "1031", "TTT_MainFrame_"), "0");
  EXPECT_EQ(Read(file, "1031", "TTT_CommandOK_"), "0");
  EXPECT_EQ(Read(file, "1031", "Help1"), "0");
  EXPECT_EQ(Read(file, "1031", "Help2"), "0");

  const std::string bytes = TestProject::Read(file);
  EXPECT_NE(bytes.find("Caption_CommandOK_="), std::string::npos);
  EXPECT_EQ(bytes.find("TTT_TabStrip"), std::string::npos) << "the tab strip is tagged NoTTT";
  EXPECT_EQ(bytes.find("Caption_Bild"), std::string::npos) << "picture boxes have no caption";
  EXPECT_EQ(bytes.find("Help3"), std::string::npos);

  EXPECT_EQ(loaded.Header()->text(), "Info");
  // A "0" is no translation: the window's built-in text stands, as a design caption does.
  EXPECT_EQ(loaded.CommandOK()->toolTip().toStdString(), kToolTipOK);
  EXPECT_EQ(loaded.CommandQuest()->toolTip().toStdString(), kToolTipQuest);
}

TEST_F(WindowLanguage, AnotherLanguageReplacesTextsAndMarksTheMissingOnes) {
  TestProject::Write(LanguageFile(),
                     "[Language]\r\nLanguage=1033\r\n[1033]\r\nCaption_Header_=Information\r\n"
                     "TTT_CommandOK_=Apply and close\r\nTTT_Bild3_=Third cell\r\n"
                     "Help1=Applies<CRLF>everything\r\nCaption_Maschine2_=0\r\n");
  EditorWindow& loaded = Load();
  EXPECT_EQ(loaded.Header()->text(), "Information");
  EXPECT_EQ(loaded.CommandOK()->toolTip(), "Apply and close");
  EXPECT_EQ(loaded.Bild(3)->toolTip(), "Third cell");
  EXPECT_EQ(loaded.Maschine(2)->text(), "Label1");
  EXPECT_EQ(loaded.HelpTexts()[0], "Applies<CRLF>everything");

  const auto file = LanguageFile();
  EXPECT_EQ(Read(file, "1033", "Caption_Maschine1_"), "0");
  EXPECT_EQ(Read(file, "1033", "Caption_Maschine2_"), "0");
  EXPECT_EQ(Read(file, "1033", "TTT_CommandCancel_"), "0");
  EXPECT_EQ(Read(file, "1033", "Help2"), "0");
  EXPECT_EQ(Read(file, "1033", "Caption_Header_"), "Information");
  EXPECT_EQ(TestProject::Read(file).find("[1031]"), std::string::npos);
}

}  // namespace
}  // namespace velnor::test
