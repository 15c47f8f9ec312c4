#include "support/scripted_message_box.h"

namespace velnor {

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
