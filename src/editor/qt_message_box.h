#pragma once
// The modal message box of the window toolkit, behind the program's message-box
// interface.
#include <string>

#include "platform/message_box.h"

class QWidget;

namespace velnor {

class QtMessageBox : public MessageBoxService {
 public:
  // Installs itself; boxes are centred over parent (or the screen without one).
  explicit QtMessageBox(QWidget* parent = nullptr);
  ~QtMessageBox() override;  // puts the previous service back
  QtMessageBox(const QtMessageBox&) = delete;
  QtMessageBox& operator=(const QtMessageBox&) = delete;

  void SetParent(QWidget* parent) { parent_ = parent; }
  int Show(const std::string& text, int style, const std::string& title) override;

 private:
  QWidget* parent_;
  MessageBoxService* previous_;
};

// The message's lines as Qt shows them: the program separates lines by LF CR or CR LF,
// which a label would show as two breaks or a stray character.
std::string MessageBoxText(const std::string& text);

}  // namespace velnor
