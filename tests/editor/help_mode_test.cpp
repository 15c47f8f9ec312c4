#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "editor/window_controls.h"
#include "editor_fixture.h"
#include "settings/language.h"

namespace velnor::test {
namespace {

class HelpModeTest : public EditorTest {
 protected:
  HelpModeTest() {
    TestProject::Write(LanguageFile(),
                       "[Language]\r\nLanguage=1031\r\n[1031]\r\n"
                       "Help1=Applies the choices<crlf>and ends\r\nHelp2=Abandons the choices\r\n");
    InfoButtons(1, 2);
    Warning(1);
  }

  void PressQuest() { QTest::mouseClick(window->CommandQuest(), Qt::LeftButton); }
};

TEST_F(HelpModeTest, TheQuestionButtonIsGreenExactlyWhileTheHelpModeIsOn) {
  EditorWindow& shown = LoadAndShow();
  const QColor face = QApplication::palette().color(QPalette::Button);
  PressQuest();
  EXPECT_TRUE(shown.HelpMode());
  EXPECT_EQ(shown.CommandQuest()->palette().color(QPalette::Button), kHelpModeColor);
  PressQuest();
  EXPECT_FALSE(shown.HelpMode());
  EXPECT_EQ(shown.CommandQuest()->palette().color(QPalette::Button), face);
}

TEST_F(HelpModeTest, OKAndCancelShowTheirHelpTextsAndDoNothingElse) {
  EditorWindow& shown = LoadAndShow();
  PressQuest();
  QTest::mouseClick(shown.CommandOK(), Qt::LeftButton);
  QTest::mouseClick(shown.CommandCancel(), Qt::LeftButton);

  ASSERT_EQ(box.shown().size(), 2u);
  EXPECT_EQ(box.shown()[0].text, "Applies the choices\r\nand ends");
  EXPECT_EQ(box.shown()[0].style, 64);
  EXPECT_EQ(box.shown()[0].title, "Info:");
  EXPECT_EQ(box.shown()[1].text, "Abandons the choices");
  EXPECT_TRUE(shown.isVisible());
  EXPECT_TRUE(shown.CommandOK()->isEnabled());
  EXPECT_TRUE(shown.HelpMode()) << "the help mode stays on";
  EXPECT_FALSE(std::filesystem::exists(project.errorLog()));
}

TEST_F(HelpModeTest, CellsAndTabsIgnoreClicksWhileTheGridStays) {
  EditorWindow& shown = LoadAndShow();
  PressQuest();
  QTest::mouseClick(shown.Bild(1), Qt::LeftButton);
  EXPECT_EQ(shown.Slots().At(kTabButtons, 1).selected, 0);
  EXPECT_EQ(shown.Bild(1)->Image().pixelColor(0, 0), QColor(0, 0, 0));

  QTabBar* tabs = shown.TabStrip()->tabBar();
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_EQ(shown.SelectedTab(), 1) << "the strip stays with the grid";
  EXPECT_FALSE(tabs->isEnabled()) << "and shows that it takes no click";
  shown.TabStrip()->setCurrentIndex(1);
  EXPECT_EQ(shown.SelectedTab(), 1) << "nor a switch by any other way";
  EXPECT_EQ(shown.Bild(1)->accessibleName(), "Info button 1") << "the grid stays";
  EXPECT_FALSE(shown.Bild(2)->isHidden());

  PressQuest();
  EXPECT_TRUE(tabs->isEnabled());
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  EXPECT_EQ(shown.Bild(1)->accessibleName(), "Warning 1");
  EXPECT_TRUE(shown.Bild(2)->isHidden());
  QTest::mouseClick(shown.Bild(1), Qt::LeftButton);
  EXPECT_EQ(shown.Slots().At(kTabWarnings, 1).selected, 1);
  EXPECT_EQ(shown.Slots().At(kTabButtons, 1).selected, 0);
}

TEST_F(HelpModeTest, OKWorksAgainOnceTheHelpModeIsOff) {
  EditorWindow& shown = LoadAndShow();
  PressQuest();
  QTest::mouseClick(shown.CommandOK(), Qt::LeftButton);
  EXPECT_TRUE(shown.isVisible());
  PressQuest();
  EXPECT_THROW(shown.CommandOK_Click(), ProgramEnded);
  EXPECT_TRUE(std::filesystem::exists(ProgramIni()));
}

TEST_F(HelpModeTest, AControlWithoutHelpShowsAnEmptyBox) {
  Load();
  for (const auto& control : window->ControlModel()) {
    if (control->Name() == "CommandQuest") ShowHelpText(*control, window->HelpTexts());
  }
  ASSERT_EQ(box.shown().size(), 1u);
  EXPECT_EQ(box.shown()[0].text, "");
  EXPECT_EQ(box.shown()[0].title, "Info:");
}

TEST_F(HelpModeTest, WithoutATranslationOKAndCancelShowTheirBuiltInHelp) {
  struct Case {
    const char* help;
    bool builtIn;
  };
  for (const Case& row : std::vector<Case>{{"Help1=0\r\nHelp2=0\r\n", true},
                                           {"Help1=\r\n", true},
                                           {"", true},
                                           {"Help1=Own\r\nHelp2=Own\r\n", false}}) {
    SCOPED_TRACE(row.help);
    TestProject::Write(LanguageFile(),
                       std::string("[Language]\r\nLanguage=1031\r\n[1031]\r\n") + row.help);
    const std::size_t first = box.shown().size();
    EditorWindow& shown = LoadAndShow();
    PressQuest();
    QTest::mouseClick(shown.CommandOK(), Qt::LeftButton);
    QTest::mouseClick(shown.CommandCancel(), Qt::LeftButton);
    ASSERT_EQ(box.shown().size(), first + 2);
    for (std::size_t at = first; at < first + 2; ++at) {
      EXPECT_NE(box.shown()[at].text, "0");
      EXPECT_EQ(box.shown()[at].text == "Own", !row.builtIn) << box.shown()[at].text;
    }
    if (!row.builtIn) continue;
    EXPECT_NE(box.shown()[first].text.find("\r\n"), std::string::npos) << "its lines are broken";
    EXPECT_NE(TestProject::Read(LanguageFile()).find("Help1=0\r\n"), std::string::npos)
        << "the file still marks the missing key for a translator";
  }
}

}  // namespace
}  // namespace velnor::test
