#include "errors/error_report.h"

#include <cstdlib>
#include <iostream>
#include <optional>
#include <utility>

#include "platform/encoding.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/program_end.h"

namespace velnor {

namespace {
ReportScope* innermost = nullptr;
}  // namespace

void NoteFailureReported() {
  if (innermost != nullptr) innermost->failureReported_ = true;
}

namespace {

// An entry that a log cannot take is not lost silently: standard error shows it, the
// other log takes it where it can, and the run no longer counts as one without faults.
void Warn(const IoResult& failed, const std::string& text) {
  std::cerr << "Velnor_Config: " << failed.error << "; the entry was: " << text << '\n';
  NoteFailureReported();
}

std::string ServicePackEntry(const std::string& text) {
  return "! Fault " + CurrentReportContext().programName + ": " + text;
}

std::string LogLine(std::int32_t number, const std::string& source, const std::string& description,
                    const std::string& procName) {
  return "Fehler in " + CurrentReportContext().component + " / " + source + " / " + procName +
         " (Nr. " + std::to_string(number) + ") :" + description;
}

// Tells a preview of the run what it reports.
void Told(const std::string& line) {
  const ReportContext& context = CurrentReportContext();
  if (context.onReport) context.onReport(line);
}

std::string ServicePackLogOfRun() {
  const std::string& chosen = CurrentReportContext().servicePackLog;
  return chosen.empty() ? ServicePackLogPath() : chosen;
}

// The logs as the reports write them, without telling a preview: each report tells it
// once, whichever logs take its entry.

// The error log takes the entry, else the fallback log, else the service-pack log (as
// an entry of its own); returns the path of the log that took it, nothing when none did.
std::optional<std::string> AppendToAnErrorLog(const std::string& text) {
  const ReportContext& context = CurrentReportContext();
  IoResult written = AppendLine(context.errorLog, text);
  if (written) return context.errorLog;
  const std::string& fallback = context.fallbackErrorLog;
  if (!fallback.empty() && fallback != context.errorLog) {
    std::cerr << "Velnor_Config: " << written.error << "; the entry goes to '" << fallback << "'\n";
    written = AppendLine(fallback, text);
    if (written) return fallback;
  }
  Warn(written, text);
  const std::string servicePackLog = ServicePackLogOfRun();
  const std::string entry = ServicePackEntry(text);
  if (const IoResult other = AppendLine(servicePackLog, entry); !other) {
    Warn(other, entry);
    return std::nullopt;
  }
  return servicePackLog;
}

// The error-log entry and the notice that points to the log that took it.
std::string AppendToErrorLog(const std::string& text) {
  const std::optional<std::string> log = AppendToAnErrorLog(text);
  if (!log) return "";
  // The log as it lies on disk: a name given in another case finds the existing file.
  return std::string("Error logged to ") + kLfCr + ResolvePath(*log);
}

void AppendToServicePackLog(const std::string& text) {
  const std::string entry = ServicePackEntry(text);
  const IoResult written = AppendLine(ServicePackLogOfRun(), entry);
  if (written) return;
  Warn(written, entry);
  if (const IoResult other = AppendLine(CurrentReportContext().errorLog, entry); !other) {
    Warn(other, entry);
  }
}

}  // namespace

ReportScope::ReportScope(ReportContext context)
    : context_(std::move(context)), previous_(innermost) {
  innermost = this;
}

ReportScope::~ReportScope() {
  innermost = previous_;
}

const ReportContext& CurrentReportContext() {
  static const ReportContext none;
  return innermost != nullptr ? innermost->context() : none;
}

bool AnyFailureReported() {
  return innermost != nullptr && innermost->anyFailureReported();
}

std::string WriteErrorLog(const std::string& text) {
  Told(text);
  return AppendToErrorLog(text);
}

std::string ServicePackLogPath() {
  const std::optional<std::string> configured = EnvironmentVariable("QUARN_SERVICEPACK_LOG");
  if (configured && !configured->empty()) return *configured;
  return JoinPath(SystemLogFolder(), "QuarnServicePack.log");
}

void WriteServicePackLog(const std::string& text) {
  Told(text);
  AppendToServicePackLog(text);
}

void LogFailure(std::int32_t number, const std::string& description, const std::string& procName) {
  NoteFailureReported();
  WriteErrorLog(LogLine(number, CurrentReportContext().programName, description, procName));
}

void ReportNotice(std::int32_t number, const std::string& description,
                  const std::string& procName) {
  const ReportContext& context = CurrentReportContext();
  if (context.silent) {
    ErrorSub(number, context.programName, description, procName, /*fatal=*/false);
    return;
  }
  LogFailure(number, description, procName);
  ShowMessageBox(description, kStyleInformation, context.programName);
}

void ReportFault(const std::string& text) {
  NoteFailureReported();
  const ReportContext& context = CurrentReportContext();
  Told(text);
  if (context.silent) {
    AppendToServicePackLog(text);
  } else {
    ShowMessageBox(text, kStyleCritical, context.programName);
  }
}

int ErrorSub(std::int32_t number, const std::string& source, const std::string& description,
             const std::string& procName, bool fatal) {
  NoteFailureReported();
  const ReportContext& context = CurrentReportContext();
  const std::string notice = WriteErrorLog(LogLine(number, source, description, procName));
  std::string message = std::string("Unexpected error!") + kLfCr + description;
  if (!notice.empty()) message += kLfCr + notice;

  if (context.silent) {
    AppendToServicePackLog(message);
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

}  // namespace velnor
