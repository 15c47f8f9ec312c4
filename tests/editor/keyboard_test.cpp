// The window by keyboard and wheel alone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

#include "editor/window_controls.h"
#include "editor_fixture.h"

namespace velnor::test {
namespace {

class Keyboard : public EditorTest {
 protected:
  // Shortcuts of the window work in the active window only.
  EditorWindow& Active() {
    EditorWindow& shown = LoadAndShow();
    shown.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&shown));
    return shown;
  }
  static std::string Focused() {
    QWidget* focus = QApplication::focusWidget();
    return focus == nullptr ? "" : focus->accessibleName().toStdString();
  }
  static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
  }
};

TEST_F(Keyboard, ArrowsPagesHomeAndEndMoveAcrossRowsAndScrollTheFocusIntoView) {
  InfoButtons(1, 70);
  Active();
  ASSERT_EQ(Focused(), "Info button 1");
  struct Step {
    int key;
    const char* focused;
    int scroll;
  };
  for (const Step& step : std::vector<Step>{{Qt::Key_Right, "Info button 2", 1},
                                            {Qt::Key_Down, "Info button 10", 1},
                                            {Qt::Key_Left, "Info button 9", 1},
                                            {Qt::Key_Left, "Info button 8", 1},
                                            {Qt::Key_PageDown, "Info button 56", 1},
                                            {Qt::Key_Down, "Info button 64", 2},
                                            {Qt::Key_Down, "Info button 70", 3},
                                            {Qt::Key_Home, "Info button 1", 1},
                                            {Qt::Key_End, "Info button 70", 3},
                                            {Qt::Key_PageUp, "Info button 22", 3},
                                            {Qt::Key_Up, "Info button 14", 2}}) {
    SCOPED_TRACE(step.focused);
    Press(step.key);
    EXPECT_EQ(Focused(), step.focused);
    EXPECT_EQ(window->VScroll()->value(), step.scroll);
  }
  Press(Qt::Key_Space);
  EXPECT_EQ(window->Slots().At(kTabButtons, 14).selected, 1);
}

TEST_F(Keyboard, TheGridIsOneStopOfTheTabKey) {
  InfoButtons(1, 20);
  Active();
  Press(Qt::Key_Right);
  ASSERT_EQ(Focused(), "Info button 2");
  Press(Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), window->CommandOK());
  Press(Qt::Key_Backtab);
  EXPECT_EQ(Focused(), "Info button 2") << "back to the cell it left";
}

TEST_F(Keyboard, EnterPressesTheFocusedButtonAndEscapeAsksAsCancelDoes) {
  InfoButtons(1, 2);
  EditorWindow& shown = Active();
  box.Answer(kAnswerNo);
  box.Answer(kAnswerNo);
  shown.CommandCancel()->setFocus();
  Press(Qt::Key_Return);
  Press(Qt::Key_Escape);
  ASSERT_EQ(box.shown().size(), 2u);
  for (const auto& question : box.shown()) EXPECT_EQ(question.title, "Cancel?");
  EXPECT_TRUE(shown.isVisible());
}

TEST_F(Keyboard, CtrlTabSwitchesTabsExceptInHelpMode) {
  InfoButtons(1, 2);
  Warning(1);
  EditorWindow& shown = Active();
  Press(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(shown.ShownTab(), kTabWarnings);
  EXPECT_EQ(Focused(), "Warning 1");
  shown.CommandQuest_Click();
  Press(Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(shown.SelectedTab(), kTabWarnings);
  EXPECT_EQ(shown.ShownTab(), kTabWarnings);
}

TEST_F(Keyboard, TheWheelOverACellScrollsTheGrid) {
  InfoButtons(1, 120);
  EditorWindow& shown = LoadAndShow();
  const QPointF at = shown.Bild(10)->rect().center();
  QWheelEvent down(at, shown.Bild(10)->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QApplication::sendEvent(shown.Bild(10), &down);
  EXPECT_GT(shown.VScroll()->value(), 1);
}

}  // namespace
}  // namespace velnor::test
