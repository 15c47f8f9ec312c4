#include "platform/message_box.h"

#include <iostream>

namespace velnor {
namespace {
// The program's one window shows the boxes of every layer (see SetMessageBoxService).
MessageBoxService* installed = nullptr;
}  // namespace

int DefaultAnswer(int style) {
  if ((style & 7) == kStyleYesNo) {
    return (style & kStyleSecondButtonDefault) != 0 ? kAnswerNo : kAnswerYes;
  }
  return kAnswerOk;
}

int ShowMessageBox(const std::string& text, int style, const std::string& title) {
  if (installed != nullptr) return installed->Show(text, style, title);
  std::cerr << title << ": " << text << '\n';
  return DefaultAnswer(style);
}

MessageBoxService* SetMessageBoxService(MessageBoxService* service) {
  MessageBoxService* previous = installed;
  installed = service;
  return previous;
}

}  // namespace velnor
