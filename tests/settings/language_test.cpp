#include "settings/language.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "errors/failure.h"
#include "settings/ini_access.h"
#include "support/scripted_message_box.h"
#include "support/test_project.h"
#include "support/test_report.h"

namespace velnor {
namespace {

using test::TestProject;

// A control as the window would describe it. Kinds without a caption throw, as the
// toolkit's controls without that property do.
class FakeControl : public Control {
 public:
  FakeControl(std::string type, std::string name, std::string caption = "",
              std::optional<int> index = std::nullopt, std::string tag = "", int helpId = 0)
      : type_(std::move(type)),
        name_(std::move(name)),
        index_(index),
        tag_(std::move(tag)),
        caption_(std::move(caption)),
        helpId_(helpId) {}

  std::string TypeName() const override { return type_; }
  std::string Name() const override { return name_; }
  std::optional<int> Index() const override { return index_; }
  std::string Tag() const override { return tag_; }
  std::string Caption() const override {
    if (!hasCaption_) throw Failure(438, "Velnor", "Object doesn't support this property");
    return caption_;
  }
  void SetCaption(const std::string& caption) override {
    if (!hasCaption_) throw Failure(438, "Velnor", "Object doesn't support this property");
    caption_ = caption;
  }
  std::string ToolTipText() const override { return toolTip_; }
  void SetToolTipText(const std::string& text) override { toolTip_ = text; }
  int WhatsThisHelpID() const override { return helpId_; }

  FakeControl& WithoutCaption() {
    hasCaption_ = false;
    return *this;
  }
  FakeControl& WithToolTip(std::string text) {
    toolTip_ = std::move(text);
    return *this;
  }
  const std::string& caption() const { return caption_; }
  const std::string& toolTip() const { return toolTip_; }

 private:
  std::string type_;
  std::string name_;
  std::optional<int> index_;
  std::string tag_;
  std::string caption_;
  std::string toolTip_;
  int helpId_;
  bool hasCaption_ = true;
};

class LanguageTexts : public ::testing::Test {
 protected:
  FakeControl& Add(FakeControl control) {
    controls_.push_back(std::make_unique<FakeControl>(std::move(control)));
    return *controls_.back();
  }
  ControlList Controls() const {
    ControlList list;
    for (const auto& control : controls_) list.push_back(control.get());
    return list;
  }
  std::filesystem::path LanguageFile() const {
    return project_.programFolder() / "Widget_Config.ini";
  }
  std::string LanguagePath() const { return LanguageFile().string(); }
  void LoadTexts() { HelpTexts = LoadToolTipTexts(Controls(), LanguagePath()); }
  std::string Text(const std::string& section, const std::string& key) const {
    return LoadIniString(section, key, LanguageFile().string(), true, false);
  }

  TestProject project_;
  test::TestReport report_{project_};
  ScriptedMessageBox boxes_;
  std::vector<std::unique_ptr<FakeControl>> controls_;
  HelpTextTable HelpTexts;
};

TEST_F(LanguageTexts, LanguageFileLiesBesideTheExecutable) {
  EXPECT_EQ(LanguageFilePath(project_.programFolder().string(), "Widget_Config"),
            LanguageFile().string());
}

TEST_F(LanguageTexts, MissingLanguageIsSetTo1031) {
  EXPECT_EQ(GetLanguage(LanguagePath()), "1031");
  EXPECT_EQ(TestProject::Read(LanguageFile()), "[Language]\r\nLanguage=1031\r\n");
  TestProject::Write(LanguageFile(), "[Language]\r\nLanguage=\r\n");
  EXPECT_EQ(GetLanguage(LanguagePath()), "1031");
  EXPECT_EQ(TestProject::Read(LanguageFile()), "[Language]\r\nLanguage=1031\r\n");
  TestProject::Write(LanguageFile(), "[LANGUAGE]\r\nlanguage = 1033\r\n");
  EXPECT_EQ(GetLanguage(LanguagePath()), "1033");
}

TEST_F(LanguageTexts, FirstRunWritesTheDesignTextsInto1031) {
  FakeControl& title = Add({"Label", "Title", "Hallo"});
  FakeControl& ok = Add({"CommandButton", "CommandOK", "OK", std::nullopt, "", 3});
  Add({"PictureBox", "Bild", "", std::nullopt, "", 4}).WithoutCaption();
  Add({"CheckBox", "Check", "An"});
  LoadTexts();

  EXPECT_EQ(TestProject::Read(LanguageFile()),
            "[Language]\r\nLanguage=1031\r\n"
            "[1031]\r\n"
            "Caption_Title_=Hallo\r\nTTT_Title_=0\r\n"
            "Caption_CommandOK_=OK\r\nHelp3=0\r\nTTT_CommandOK_=0\r\n"
            "TTT_Bild_=0\r\n"
            "Caption_Check_=An\r\nTTT_Check_=0\r\n");
  EXPECT_EQ(title.caption(), "Hallo");
  EXPECT_EQ(ok.caption(), "OK");
  EXPECT_EQ(ok.toolTip(), "");
  EXPECT_EQ(HelpTexts[2], "");
  EXPECT_EQ(HelpTexts[3], "");  // the picture's help id is never read
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(LanguageTexts, SecondRunLeavesTheFileAsItIs) {
  Add({"Label", "Title", "Hallo", std::nullopt, "", 1});
  LoadTexts();
  const std::string first = TestProject::Read(LanguageFile());
  LoadTexts();
  EXPECT_EQ(TestProject::Read(LanguageFile()), first);
}

TEST_F(LanguageTexts, TranslatedTextsReplaceTheDesignTexts) {
  TestProject::Write(LanguageFile(),
                     "[Language]\r\nLanguage=1033\r\n[1033]\r\nCaption_Title_=Hello\r\n"
                     "TTT_Title_=The title\r\nHelp7=Press here\r\nTTT_Bild_=A picture\r\n");
  FakeControl& title = Add({"LABEL", "Title", "Hallo", std::nullopt, "", 7});
  FakeControl& picture = Add({"PictureBox", "Bild"});
  picture.WithoutCaption();
  const std::string before = TestProject::Read(LanguageFile());
  LoadTexts();
  EXPECT_EQ(title.caption(), "Hello");
  EXPECT_EQ(title.toolTip(), "The title");
  EXPECT_EQ(picture.toolTip(), "A picture");
  EXPECT_EQ(HelpTexts[6], "Press here");
  EXPECT_EQ(TestProject::Read(LanguageFile()), before);
}

TEST_F(LanguageTexts, EmptyForeignLanguageReceivesZeroForEveryText) {
  TestProject::Write(LanguageFile(), "[Language]\r\nLanguage=1033\r\n[1033]\r\n");
  FakeControl& title = Add({"Label", "Title", "Hallo", std::nullopt, "", 2});
  title.WithToolTip("Design tip");
  LoadTexts();
  EXPECT_EQ(TestProject::Read(LanguageFile()),
            "[Language]\r\nLanguage=1033\r\n[1033]\r\n"
            "Caption_Title_=0\r\nHelp2=0\r\nTTT_Title_=0\r\n");
  EXPECT_EQ(title.caption(), "Hallo");
  EXPECT_EQ(title.toolTip(), "Design tip");
  EXPECT_EQ(HelpTexts[1], "");  // the table keeps the text as read
}

TEST_F(LanguageTexts, ZeroCaptionIn1031IsReplacedByTheDesignCaption) {
  TestProject::Write(LanguageFile(),
                     "[Language]\r\nLanguage=1031\r\n[1031]\r\nCaption_Title_=0\r\n"
                     "TTT_Title_=0\r\n");
  FakeControl& title = Add({"Label", "Title", "Hallo"});
  LoadTexts();
  EXPECT_EQ(Text("1031", "Caption_Title_"), "Hallo");
  EXPECT_EQ(title.caption(), "Hallo");
}

TEST_F(LanguageTexts, NotttTagKeepsTheToolTipOutOfTheFile) {
  TestProject::Write(LanguageFile(),
                     "[Language]\r\nLanguage=1031\r\n[1031]\r\nTTT_Bild_xNoTTtx=Never\r\n");
  FakeControl& picture = Add({"PictureBox", "Bild", "", std::nullopt, "xNoTTtx"});
  picture.WithoutCaption().WithToolTip("Own");
  Add({"Label", "Plain", "P", std::nullopt, "nottt"});
  LoadTexts();
  EXPECT_EQ(picture.toolTip(), "Own");
  EXPECT_EQ(TestProject::Read(LanguageFile()),
            "[Language]\r\nLanguage=1031\r\n[1031]\r\nTTT_Bild_xNoTTtx=Never\r\n"
            "Caption_Plain_nottt=P\r\n");
}

TEST_F(LanguageTexts, ImpossibleHelpIdEndsTheWorkOnThatControlOnly) {
  Add({"CommandButton", "Odd", "Odd", std::nullopt, "", 150});
  Add({"Label", "Negative", "Neg", std::nullopt, "", -3});
  Add({"Label", "Next", "Next", std::nullopt, "", 100});
  LoadTexts();
  EXPECT_EQ(TestProject::Read(LanguageFile()),
            "[Language]\r\nLanguage=1031\r\n[1031]\r\n"
            "Caption_Odd_=Odd\r\nCaption_Negative_=Neg\r\n"
            "Caption_Next_=Next\r\nHelp100=0\r\nTTT_Next_=0\r\n");
  EXPECT_TRUE(boxes_.shown().empty());
  EXPECT_FALSE(std::filesystem::exists(project_.errorLog()));
}

TEST_F(LanguageTexts, ControlWithoutCaptionOfACaptionKindIsSkipped) {
  Add({"Label", "Broken", "x"}).WithoutCaption();
  Add({"Label", "Fine", "y"});
  LoadTexts();
  EXPECT_EQ(TestProject::Read(LanguageFile()),
            "[Language]\r\nLanguage=1031\r\n[1031]\r\nCaption_Fine_=y\r\nTTT_Fine_=0\r\n");
}

TEST_F(LanguageTexts, ArrayMembersCarryTheirIndexInTheirKeys) {
  Add({"Label", "Name", "first", 0});
  Add({"Label", "Name", "second", 1});
  Add({"Label", "Single", "alone"});
  Add({"PictureBox", "Maschine", "", 3, "tag"}).WithoutCaption();
  Add({"PictureBox", "Maschine", "", 4, "tag"}).WithoutCaption();
  LoadTexts();
  EXPECT_EQ(Text("1031", "Caption_Name0_"), "first");
  EXPECT_EQ(Text("1031", "Caption_Name1_"), "second");
  EXPECT_EQ(Text("1031", "Caption_Single_"), "alone");
  EXPECT_EQ(Text("1031", "TTT_Maschine3_tag"), "0");
  EXPECT_EQ(Text("1031", "TTT_Maschine4_tag"), "0");
  EXPECT_EQ(Text("1031", "Caption_Name_"), "");
}

}  // namespace
}  // namespace velnor
