#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "editor/window_controls.h"
#include "editor_fixture.h"

namespace velnor::test {
namespace {

using PageView = EditorTest;

std::vector<int> ShownCells(const EditorWindow& window) {
  std::vector<int> shown;
  for (int index = 1; index <= 56; ++index) {
    if (!window.Bild(index)->isHidden()) shown.push_back(index);
  }
  return shown;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> numbers;
  for (int number = first; number <= last; ++number) numbers.push_back(number);
  return numbers;
}

TEST_F(PageView, FiftySevenSlotsScrollByOneRow) {
  InfoButtons(1, 57);
  EditorWindow& shown = LoadAndShow();
  EXPECT_EQ(shown.VScroll()->maximum(), 2);
  EXPECT_EQ(ShownCells(shown), Range(1, 56));

  shown.VScroll()->setValue(2);
  EXPECT_EQ(ShownCells(shown), Range(1, 49)) << "slots 58 to 64 lie beyond the count";
  EXPECT_EQ(shown.Bild(1)->accessibleName(), "Info button 9");
  EXPECT_EQ(shown.Bild(49)->accessibleName(), "Info button 57");

  QTest::mouseClick(shown.Bild(3), Qt::LeftButton);
  EXPECT_EQ(shown.Slots().At(kTabButtons, 11).selected, 1);
  EXPECT_EQ(shown.Slots().At(kTabButtons, 3).selected, 0);
}

TEST_F(PageView, AHundredAndFiftySlotsScrollToTheLastSevenRows) {
  InfoButtons(1, 151);
  EditorWindow& shown = LoadAndShow();
  EXPECT_EQ(shown.Slots().Count(kTabButtons), 150);
  EXPECT_EQ(FailureBoxes(), 1) << "the 151st button has no slot";
  EXPECT_EQ(Notices().size(), 1u) << "97 to 150 cannot be saved";
  EXPECT_EQ(shown.VScroll()->maximum(), 13);

  shown.VScroll()->setValue(13);
  EXPECT_EQ(ShownCells(shown), Range(1, 54));
  EXPECT_EQ(shown.Bild(54)->accessibleName(), "Info button 150");
}

TEST_F(PageView, SwitchingTabsStartsAtTheFirstRow) {
  InfoButtons(1, 60);
  Warning(1);
  EditorWindow& shown = LoadAndShow();
  shown.VScroll()->setValue(2);
  shown.TabStrip()->setCurrentIndex(1);
  EXPECT_EQ(shown.VScroll()->value(), 1);
  EXPECT_EQ(shown.VScroll()->maximum(), 1);
  EXPECT_EQ(ShownCells(shown), std::vector<int>{1});
  shown.TabStrip()->setCurrentIndex(0);
  EXPECT_EQ(shown.VScroll()->maximum(), 2);
  EXPECT_EQ(shown.Bild(1)->accessibleName(), "Info button 1");
}

TEST_F(PageView, AnEmptyTabHidesEveryCellAndFocusesOK) {
  EditorWindow& shown = LoadAndShow();
  EXPECT_TRUE(ShownCells(shown).empty());
  EXPECT_EQ(shown.VScroll()->maximum(), 1);
  EXPECT_EQ(shown.focusWidget(), shown.CommandOK());
}

TEST_F(PageView, AClickTogglesTheChoiceAndRedrawsTheCell) {
  InfoButtons(1, 3);
  EditorWindow& shown = LoadAndShow();
  EXPECT_EQ(shown.focusWidget(), shown.Bild(1));
  PictureBox* cell = shown.Bild(2);
  EXPECT_EQ(cell->Image().pixelColor(0, 0), QColor(0, 0, 0));
  EXPECT_EQ(cell->accessibleDescription(), "not chosen");

  QTest::mouseClick(cell, Qt::LeftButton);
  EXPECT_EQ(shown.Slots().At(kTabButtons, 2).selected, 1);
  EXPECT_EQ(cell->Image().pixelColor(0, 0), kChosenColor);
  EXPECT_EQ(cell->accessibleDescription(), "chosen");

  QTest::mouseClick(cell, Qt::LeftButton);
  EXPECT_EQ(shown.Slots().At(kTabButtons, 2).selected, 0);
  EXPECT_EQ(cell->Image().pixelColor(0, 0), QColor(0, 0, 0));

  // The keyboard's Space does what a click does.
  cell->setFocus();
  QTest::keyClick(cell, Qt::Key_Space);
  EXPECT_EQ(shown.Slots().At(kTabButtons, 2).selected, 1);

  // A redraw of the page shows the same.
  shown.TabStrip()->setCurrentIndex(1);
  shown.TabStrip()->setCurrentIndex(0);
  EXPECT_EQ(shown.Bild(2)->Image().pixelColor(0, 0), kChosenColor);
}

TEST_F(PageView, ThePictureIsCentredOnItsSelectionColour) {
  Warning(1);
  WriteProgramIni("[Info]\r\nStandardWarning1=1\r\n");
  EditorWindow& shown = LoadAndShow();
  shown.TabStrip()->setCurrentIndex(1);
  const QImage image = shown.Bild(1)->Image();
  ASSERT_EQ(image.size(), QSize(76, 52));
  // A 53 x 37 picture in the 76 x 52 area inside the border, at (11, 7).
  EXPECT_EQ(image.pixelColor(10, 20), kChosenColor);
  EXPECT_EQ(image.pixelColor(11, 7), kPictureColor);
  EXPECT_EQ(image.pixelColor(63, 43), kPictureColor);
  EXPECT_EQ(image.pixelColor(64, 44), kChosenColor);
}

TEST_F(PageView, TransparentPartsOfAButtonShowTheSelectionColour) {
  WriteGif(project.programFolder() / "Info_Button_001_800.gif", 40, 30, kPictureColor, 10);
  WriteProgramIni("[Info]\r\nButton1=1\r\n");
  EditorWindow& shown = LoadAndShow();
  const QImage image = shown.Bild(1)->Image();
  // (76 - 40) / 2 = 18, (52 - 30) / 2 = 11.
  EXPECT_EQ(image.pixelColor(20, 12), kChosenColor);
  EXPECT_EQ(image.pixelColor(20, 30), kPictureColor);
}

TEST_F(PageView, MachineNamesAndCaptionsAreShownAsWrittenEvenWhenTheyLookLikeMarkup) {
  WriteProgramIni("[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=<b>Line</b> 2\r\n");
  TestProject::Write(LanguageFile(),
                     "[Language]\r\nLanguage=1031\r\n[1031]\r\nCaption_Header_=<i>Info</i>\r\n");
  EditorWindow& shown = LoadAndShow();
  shown.TabStrip()->setCurrentIndex(1);
  ASSERT_FALSE(shown.Maschine(1)->isHidden());
  auto shownText = [](QLabel* label) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
    return accessible == nullptr ? std::string()
                                 : accessible->text(QAccessible::Name).toStdString();
  };
  EXPECT_EQ(shownText(shown.Maschine(1)), "<b>Line</b> 2");
  EXPECT_EQ(shownText(shown.Header()), "<i>Info</i>");
}

}  // namespace
}  // namespace velnor::test
