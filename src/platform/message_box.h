#pragma once
// The modal message box, reached through an interface so that nothing below the
// window shows a dialog itself and tests can answer one.
//
// Style numbers as the original platform knew them, summed: 0 OK, 4 Yes/No,
// 16 critical, 32 question, 48 exclamation, 64 information, 256 second button default.
// Answers: 1 OK, 6 Yes, 7 No.
#include <string>

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

// Installs the service (nullptr removes it); returns the one installed before. The
// service is process-wide because every layer may report, and the window that shows
// the boxes is the program's only one.
MessageBoxService* SetMessageBoxService(MessageBoxService* service);

// Puts a service in place for its lifetime and the previous one back after it.
class InstalledMessageBox {
 public:
  explicit InstalledMessageBox(MessageBoxService* service)
      : previous_(SetMessageBoxService(service)) {}
  ~InstalledMessageBox() { SetMessageBoxService(previous_); }
  InstalledMessageBox(const InstalledMessageBox&) = delete;
  InstalledMessageBox& operator=(const InstalledMessageBox&) = delete;

 private:
  MessageBoxService* previous_;
};

}  // namespace velnor
