// What a screen reader is shown of the window, through Qt's accessibility interfaces.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QGroupBox>
#include <QScrollBar>

#include "editor/window_controls.h"
#include "editor_fixture.h"

namespace velnor::test {
namespace {

using Accessibility = EditorTest;

QAccessibleInterface* Of(QObject* object) {
  return QAccessible::queryAccessibleInterface(object);
}

TEST_F(Accessibility, EachShownCellIsACheckBoxNamedByWhatItShowsWithItsChoiceAsState) {
  WriteProgramIni("[Info]\r\nButton1=1\r\n");
  InfoButtons(1, 2);
  EditorWindow& shown = LoadAndShow();
  struct Case {
    int cell;
    const char* name;
    bool checked;
  };
  for (const Case& row :
       std::vector<Case>{{1, "Info button 1", true}, {2, "Info button 2", false}}) {
    SCOPED_TRACE(row.name);
    QAccessibleInterface* cell = Of(shown.Bild(row.cell));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::CheckBox);
    EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), row.name);
    EXPECT_TRUE(cell->state().checkable);
    EXPECT_EQ(static_cast<bool>(cell->state().checked), row.checked);

    ASSERT_NE(cell->actionInterface(), nullptr);
    EXPECT_TRUE(cell->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::toggleAction()));
    cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(static_cast<bool>(cell->state().checked), !row.checked);
    EXPECT_EQ(shown.Slots().At(kTabButtons, row.cell).selected, row.checked ? 0 : 1);
  }
}

TEST_F(Accessibility, HiddenCellsLabelsAndWorkSurfacesAreNotShownAndTheRestIsNamed) {
  WriteProgramIni("[Project]\r\nNumberOfMachines=1\r\n[Machine1]\r\nMachineName=Filler\r\n");
  Warning(1);
  Warning(3, "Filler");
  EditorWindow& shown = LoadAndShow();
  shown.TabStrip()->setCurrentIndex(1);

  QAccessibleInterface* grid = Of(shown.findChild<QGroupBox*>("MainFrame"));
  ASSERT_NE(grid, nullptr);
  std::vector<std::string> names;
  for (int child = 0; child < grid->childCount(); ++child) {
    names.push_back(grid->child(child)->text(QAccessible::Name).toStdString());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Warning 1", "Warning 3 of machine Filler", "Rows",
                                             "Filler"}));
  QAccessibleInterface* window = Of(&shown);
  EXPECT_EQ(window->text(QAccessible::Name), shown.windowTitle());
  for (int child = 0; child < window->childCount(); ++child) {
    EXPECT_FALSE(window->child(child)->state().invisible) << child;
  }
}

TEST_F(Accessibility, ACellThatCannotBeSwitchedSaysWhyAndOffersNoToggle) {
  InfoButtons(1, 97);
  EditorWindow& shown = LoadAndShow();
  shown.VScroll()->setValue(shown.VScroll()->maximum());
  PictureBox* last = nullptr;
  for (int index = 1; index <= kCellCount; ++index) {
    if (shown.Bild(index)->accessibleName() == "Info button 97") last = shown.Bild(index);
  }
  ASSERT_NE(last, nullptr);
  QAccessibleInterface* cell = Of(last);
  EXPECT_TRUE(cell->state().disabled);
  EXPECT_NE(cell->text(QAccessible::Description).indexOf("cannot be switched"), -1);
  EXPECT_FALSE(
      cell->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
}

}  // namespace
}  // namespace velnor::test
