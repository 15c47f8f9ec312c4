#include "errors/error_report.h"

#include <cstdlib>
#include <iostream>

#include "app/locations.h"
#include "app/start_mode.h"
#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/program_end.h"

namespace velnor {
namespace {

bool failureReported = false;

// A log that cannot be written loses that one entry; the report itself goes on.
void AppendOrWarn(const std::string& path, const std::string& text) {
  if (const IoResult result = AppendLine(path, text); !result) {
    std::cerr << "Velnor_Config: log entry lost: " << result.error << '\n';
  }
}

}  // namespace

std::string ErrorLogPath() {
  // Reading the LOGFILE option can itself fail and be reported; that report goes to
  // the base folder's log instead of asking for the option again.
  static bool readingOption = false;
  if (IntegratedMode && !readingOption) {
    readingOption = true;
    const std::string option = GetPathLogfile();
    readingOption = false;
    // Integrated without a LOGFILE option, the entry would have nowhere to go.
    if (!option.empty()) return NativePath(option);
  }
  return BaseFolder() + kPathSeparator + "ZORcfglog.txt";
}

std::string WriteErrorLog(const std::string& text) {
  const std::string path = ErrorLogPath();
  AppendOrWarn(path, text);
  return std::string("Error logged to ") + kLfCr + UpperCase(path);
}

std::string ServicePackLogPath() {
  const char* configured = std::getenv("QUARN_SERVICEPACK_LOG");
  if (configured != nullptr && *configured != '\0') return configured;
#ifdef _WIN32
  return "C:\\QuarnServicePack.log";
#else
  return "/var/log/QuarnServicePack.log";
#endif
}

void WriteServicePackLog(const std::string& text) {
  AppendOrWarn(ServicePackLogPath(), "! Fault " + Process().executableBaseName + ": " + text);
}

void ReportFault(const std::string& text) {
  failureReported = true;
  if (SilentMode) {
    WriteServicePackLog(text);
  } else {
    ShowMessageBox(text, kStyleCritical, Process().executableBaseName);
  }
}

int ErrorSub(std::int32_t number, const std::string& source, const std::string& description,
             const std::string& procName, bool fatal) {
  failureReported = true;
  const std::string logLine = "Fehler in " + ComponentNameOrEmpty() + " / " + source + " / " +
                              procName + " (Nr. " + std::to_string(number) + ") :" + description;
  const std::string notice = WriteErrorLog(logLine);
  const std::string message =
      std::string("Unexpected error!") + kLfCr + description + kLfCr + notice;

  if (SilentMode) {
    WriteServicePackLog(message);
    return kDecisionContinue;
  }
  if (!fatal) {
    const int answer = ShowMessageBox(message + kLfCr + "Resume?", kStyleYesNo + kStyleCritical,
                                      "Unexpected error");
    return answer == kAnswerNo ? kDecisionEnd : kDecisionContinue;
  }
  ShowMessageBox(message, kStyleCritical, "Fatal error");
  return kDecisionEnd;
}

void EndProgram(int exitStatus) {
  EndProcess(exitStatus);
}

bool AnyFailureReported() {
  return failureReported;
}

void ResetFailureReported() {
  failureReported = false;
}

}  // namespace velnor
