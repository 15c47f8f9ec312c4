#include "platform/message_box.h"

#include <iostream>

namespace velnor {
namespace {
MessageBoxService* installed = nullptr;
}

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

ScriptedMessageBox::ScriptedMessageBox() : previous_(SetMessageBoxService(this)) {}

ScriptedMessageBox::~ScriptedMessageBox() {
  SetMessageBoxService(previous_);
}

int ScriptedMessageBox::Show(const std::string& text, int style, const std::string& title) {
  shown_.push_back({text, style, title});
  if (answers_.empty()) return DefaultAnswer(style);
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace velnor
