#include "editor/qt_message_box.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <optional>
#include <utility>
#include <vector>

namespace velnor {
namespace {

struct ButtonChoice {
  const char* text;
  QMessageBox::ButtonRole role;
  int answer;
};

// The buttons of a style's button group (its lowest three bits), in the order shown,
// with the answers they give: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
std::vector<ButtonChoice> ButtonsOf(int style) {
  switch (style & 7) {
    case 1:
      return {{"OK", QMessageBox::AcceptRole, 1}, {"Cancel", QMessageBox::RejectRole, 2}};
    case 2:
      return {{"&Abort", QMessageBox::RejectRole, 3},
              {"&Retry", QMessageBox::AcceptRole, 4},
              {"&Ignore", QMessageBox::AcceptRole, 5}};
    case 3:
      return {{"&Yes", QMessageBox::YesRole, kAnswerYes},
              {"&No", QMessageBox::NoRole, kAnswerNo},
              {"Cancel", QMessageBox::RejectRole, 2}};
    case kStyleYesNo:
      return {{"&Yes", QMessageBox::YesRole, kAnswerYes}, {"&No", QMessageBox::NoRole, kAnswerNo}};
    case 5:
      return {{"&Retry", QMessageBox::AcceptRole, 4}, {"Cancel", QMessageBox::RejectRole, 2}};
    default:
      return {{"OK", QMessageBox::AcceptRole, kAnswerOk}};
  }
}

// A box whose buttons offer no way out (Yes/No, Abort/Retry/Ignore) waits for one of
// them, as it did on the original platform: Escape and the close button do nothing.
// Otherwise a reflex Escape on "Resume?" would answer No and end the program, and the
// user's unsaved choices with it.
class AnswerBox : public QMessageBox {
 public:
  AnswerBox(QWidget* parent, bool dismissable) : QMessageBox(parent), dismissable_(dismissable) {
    if (!dismissable_) setWindowFlag(Qt::WindowCloseButtonHint, false);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!dismissable_ && event->matches(QKeySequence::Cancel)) {
      event->accept();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }

  void closeEvent(QCloseEvent* event) override {
    if (!dismissable_) {
      event->ignore();
      return;
    }
    QMessageBox::closeEvent(event);
  }

 private:
  bool dismissable_;
};

QMessageBox::Icon IconOf(int style) {
  switch (style & 0x70) {
    case kStyleCritical:
      return QMessageBox::Critical;
    case kStyleQuestion:
      return QMessageBox::Question;
    case kStyleExclamation:
      return QMessageBox::Warning;
    case kStyleInformation:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

std::string MessageBoxText(const std::string& text) {
  std::string lines;
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '\n' || c == '\r') {
      // One break per LF CR, CR LF, or single LF or CR.
      const char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
      if ((next == '\n' || next == '\r') && next != c) ++pos;
      lines += '\n';
    } else {
      lines += c;
    }
  }
  return lines;
}

QtMessageBox::QtMessageBox(QWidget* parent)
    : parent_(parent), previous_(SetMessageBoxService(this)) {}

QtMessageBox::~QtMessageBox() {
  SetMessageBoxService(previous_);
}

int QtMessageBox::Show(const std::string& text, int style, const std::string& title) {
  const std::vector<ButtonChoice> choices = ButtonsOf(style);
  // Escape answers as the box's Cancel would, or OK in a box with only OK; a box
  // without either has no escape.
  std::optional<std::size_t> escapeIndex;
  for (std::size_t index = 0; index < choices.size(); ++index) {
    if (choices[index].answer == 2 || choices.size() == 1) escapeIndex = index;
  }

  AnswerBox box(parent_, escapeIndex.has_value());
  box.setWindowTitle(QString::fromStdString(title));
  box.setText(QString::fromStdString(MessageBoxText(text)));
  box.setTextFormat(Qt::PlainText);
  box.setIcon(IconOf(style));
  box.setWindowModality(Qt::ApplicationModal);

  std::vector<std::pair<QAbstractButton*, int>> buttons;
  for (const ButtonChoice& choice : choices) {
    buttons.emplace_back(box.addButton(QString::fromLatin1(choice.text), choice.role),
                         choice.answer);
  }
  const std::size_t defaultIndex = static_cast<std::size_t>((style >> 8) & 3);
  auto* defaultButton =
      static_cast<QPushButton*>(buttons[defaultIndex < buttons.size() ? defaultIndex : 0].first);
  box.setDefaultButton(defaultButton);
  if (escapeIndex) box.setEscapeButton(buttons[*escapeIndex].first);

  box.exec();
  for (const auto& [button, answer] : buttons) {
    if (box.clickedButton() == button) return answer;
  }
  return DefaultAnswer(style);
}

}  // namespace velnor
