#pragma once
// A message box answered from a script, which records each box shown.
#include <deque>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace velnor {

class ScriptedMessageBox : public MessageBoxService {
 public:
  struct Shown {
    std::string text;
    int style = 0;
    std::string title;
  };

  ScriptedMessageBox();            // installs itself
  ~ScriptedMessageBox() override;  // puts the previous service back
  ScriptedMessageBox(const ScriptedMessageBox&) = delete;
  ScriptedMessageBox& operator=(const ScriptedMessageBox&) = delete;

  // The answer to the next box; a box without a scripted answer takes its default.
  void Answer(int answer) { answers_.push_back(answer); }
  int Show(const std::string& text, int style, const std::string& title) override;
  const std::vector<Shown>& shown() const { return shown_; }

 private:
  std::deque<int> answers_;
  std::vector<Shown> shown_;
  MessageBoxService* previous_;
};

}  // namespace velnor
