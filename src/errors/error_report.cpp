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

namespace {

// Tells a preview of the run what it reports.
void Told(const std::string& line) {
  const ReportContext& context = CurrentReportContext();
  if (context.onReport) context.onReport(line);
}

std::string ServicePackLogOfRun() {
  const std::string& chosen = CurrentReportContext().servicePackLog;
  return chosen.empty() ? ServicePackLogPath() : chosen;
}

// The two logs as the reports write them, without telling a preview: each report tells
// it once, whichever logs take its entry.
std::string AppendToErrorLog(const std::string& text) {
  const ReportContext& context = CurrentReportContext();
  std::string path = context.errorLog;
  IoResult written = AppendLine(path, text);
  if (!written && !context.fallbackErrorLog.empty() && context.fallbackErrorLog != path) {
    std::cerr << "Velnor_Config: " << written.error << "; the entry goes to '"
              << context.fallbackErrorLog << "'\n";
    path = context.fallbackErrorLog;
    written = AppendLine(path, text);
  }
  if (!written) {
    Warn(written, text);
    const std::string entry = ServicePackEntry(text);
    if (const IoResult other = AppendLine(ServicePackLogOfRun(), entry); !other) Warn(other, entry);
  }
  // The log as it lies on disk: a name given in another case finds the existing file.
  return std::string("Error logged to ") + kLfCr + ResolvePath(path);
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

std::string WriteErrorLog(const std::string& text) {
  Told(text);
  return AppendToErrorLog(text);
}

void WriteServicePackLog(const std::string& text) {
  Told(text);
  AppendToServicePackLog(text);
}

std::string ServicePackLogPath() {
  const std::optional<std::string> configured = EnvironmentVariable("QUARN_SERVICEPACK_LOG");
  if (configured && !configured->empty()) return *configured;
  return JoinPath(SystemLogFolder(), "QuarnServicePack.log");
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
  const std::string logLine = LogLine(number, source, description, procName);
  const std::string notice = WriteErrorLog(logLine);
  const std::string message =
      std::string("Unexpected error!") + kLfCr + description + kLfCr + notice;

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
