#pragma once
// The modal message box, reached through an interface so that nothing below the
// window shows a dialog itself and tests can answer one.
//
// Style numbers as the original platform knew them, summed: 0 OK, 4 Yes/No,
// 16 critical, 32 question, 48 exclamation, 64 information, 256 second button default.
// Answers: 1 OK, 6 Yes, 7 No.
#include <deque>
#include <string>
#include <vector>

namespace velnor {

inline constexpr int kStyleOkOnly = 0;
inline constexpr int kStyleYesNo = 4;
inline constexpr int kStyleCritical = 16;
inline constexpr int kStyleQuestion = 32;
inline constexpr int kStyleExclamation = 48;
inline constexpr int kStyleInformation = 64;
inline constexpr int kStyleSecondButtonDefault = 256;

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual int Show(const std::string& text, int style, const std::string& title) = 0;
};

// The answer that pressing Enter would give: the default button of the style.
int DefaultAnswer(int style);

// Shows a box through the installed service. Without one (no window, e.g. a run
// without display) the text goes to standard error and the default answer is taken,
// so that an unattended run never waits for a person.
int ShowMessageBox(const std::string& text, int style, const std::string& title);

// Installs the service (nullptr removes it); returns the one installed before.
MessageBoxService* SetMessageBoxService(MessageBoxService* service);

// Answers boxes from a script and records each box shown.
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

  void Answer(int answer) { answers_.push_back(answer); }
  int Show(const std::string& text, int style, const std::string& title) override;
  const std::vector<Shown>& shown() const { return shown_; }

 private:
  std::deque<int> answers_;
  std::vector<Shown> shown_;
  MessageBoxService* previous_;
};

}  // namespace velnor
