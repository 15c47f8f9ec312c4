#include "editor/cancel.h"

#include <string>

#include "app/locations.h"
#include "errors/error_report.h"
#include "platform/message_box.h"

namespace velnor {

bool ConfirmCancel(const RunState& run) {
  const std::string component = GetOCXName(run);
  std::string question = std::string("Cancel edits?") + kLfCr + "Remark:" + kLfCr +
                         "Until now no changes have been taken over ";
  if (run.mode.integrated) {
    question += std::string(kLfCr) + "\"" + component + "\" has to be configured again in " +
                "\"standalone-mode\" via " + kLfCr + "\"" + ExecutablePathForMessages(run) + "\"";
  }
  if (run.mode.silent) {
    WriteServicePackLog(question);
    return true;
  }
  const int answer = ShowMessageBox(
      question, kStyleYesNo + kStyleExclamation + kStyleSecondButtonDefault, "Cancel?");
  if (answer != kAnswerYes) return false;
  WriteErrorLog("Konfigurations-EXE wurde abgebrochen:     " + component);
  return true;
}

}  // namespace velnor
