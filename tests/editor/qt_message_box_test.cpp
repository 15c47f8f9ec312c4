#include "editor/qt_message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace velnor {
namespace {

struct SeenBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  QString defaultButton;
};

// Shows a box with the style and answers it, once it is up, by clicking the button
// with the given text, or by pressing key when the text is empty.
int ShowAndAnswer(int style, const QString& button, SeenBox& seen, int key = Qt::Key_Return) {
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    for (QAbstractButton* shown : box->buttons()) {
      seen.buttons << shown->text();
      if (shown == box->defaultButton()) seen.defaultButton = shown->text();
    }
    for (QAbstractButton* shown : box->buttons()) {
      if (!button.isEmpty() && shown->text() == button) {
        shown->click();
        return;
      }
    }
    QTest::keyClick(box, static_cast<Qt::Key>(key));
  });
  QtMessageBox service;
  return ShowMessageBox("first\n\rsecond", style, "Title");
}

TEST(QtMessageBox, StyleNumbersGiveButtonsIconAndDefault) {
  struct Case {
    int style;
    QString click;
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon;
    int answer;
  };
  for (const Case& row :
       std::vector<Case>{{16, "", {"OK"}, "OK", QMessageBox::Critical, kAnswerOk},
                         {64, "OK", {"OK"}, "OK", QMessageBox::Information, kAnswerOk},
                         {20, "&Yes", {"&Yes", "&No"}, "&Yes", QMessageBox::Critical, kAnswerYes},
                         {20, "&No", {"&Yes", "&No"}, "&Yes", QMessageBox::Critical, kAnswerNo},
                         {308, "", {"&Yes", "&No"}, "&No", QMessageBox::Warning, kAnswerNo},
                         {36, "", {"&Yes", "&No"}, "&Yes", QMessageBox::Question, kAnswerYes}}) {
    SCOPED_TRACE(row.style);
    SCOPED_TRACE(row.click.toStdString());
    SeenBox seen;
    EXPECT_EQ(ShowAndAnswer(row.style, row.click, seen), row.answer);
    EXPECT_EQ(seen.title, "Title");
    EXPECT_EQ(seen.text, "first\nsecond");
    EXPECT_EQ(seen.icon, row.icon);
    EXPECT_EQ(seen.buttons, row.buttons);
    EXPECT_EQ(seen.defaultButton, row.defaultButton);
  }
}

TEST(QtMessageBox, EscapeAnswersOnlyABoxWithCancelOrASingleOK) {
  struct Case {
    int style;
    int answer;
  };
  for (const Case& row : std::vector<Case>{{0, kAnswerOk}, {64, kAnswerOk}, {1, 2}, {3, 2}}) {
    SCOPED_TRACE(row.style);
    SeenBox seen;
    EXPECT_EQ(ShowAndAnswer(row.style, "", seen, Qt::Key_Escape), row.answer);
  }
}

TEST(QtMessageBox, AYesNoBoxWaitsForYesOrNoThroughEscapeAndTheCloseButton) {
  for (const int style : {20, 4 + 256}) {
    SCOPED_TRACE(style);
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      QTest::keyClick(box, Qt::Key_Escape);
      box->close();
      stayedOpen = box->isVisible();
      for (QAbstractButton* shown : box->buttons()) {
        if (shown->text() == "&Yes") shown->click();
      }
    });
    QtMessageBox service;
    EXPECT_EQ(ShowMessageBox("Resume?", style, "Unexpected error"), kAnswerYes);
    EXPECT_TRUE(stayedOpen);
  }
}

TEST(QtMessageBox, EveryLineBreakOfTheProgramBecomesOne) {
  EXPECT_EQ(MessageBoxText("a\n\rb\r\nc\nd\re"), "a\nb\nc\nd\ne");
  EXPECT_EQ(MessageBoxText("a\n\n\rb"), "a\n\nb");
  EXPECT_EQ(MessageBoxText("plain"), "plain");
}

}  // namespace
}  // namespace velnor
