#pragma once
// The central failure report: one line in the error log, then a question (or, in
// silent mode, an entry in the service-pack log), then the decision to end or go on.
#include <cstdint>
#include <functional>
#include <string>

namespace velnor {

inline constexpr int kDecisionEnd = 1;
inline constexpr int kDecisionContinue = 2;

// "Line feed, carriage return" that separates the lines of composed messages.
inline constexpr const char* kLfCr = "\n\r";

// What the report needs to know of the run, fixed when the run starts.
struct ReportContext {
  bool silent = false;      // no person to ask: entries go to the service-pack log
  std::string programName;  // the executable's base name: source and box title
  std::string component;    // "" when the executable's name names none
  std::string errorLog;     // where the error log lies
  // Where an entry goes when errorLog cannot be written (the base folder's log while a
  // parent names another one); "" for nowhere else.
  std::string fallbackErrorLog;
  // Where service-pack entries go; "" for ServicePackLogPath().
  std::string servicePackLog{};
  // Told every report as the line the run logs for it, once per report: a preview of a
  // run lists what it would report. Empty for ordinary runs.
  std::function<void(const std::string&)> onReport{};
};

// Puts a context in place for as long as it lives and the previous one back after it;
// it also keeps count of what was reported under it. Every procedure reports through
// ErrorSub, so the context is process-wide rather than handed through every signature.
class ReportScope {
 public:
  explicit ReportScope(ReportContext context);
  ~ReportScope();
  ReportScope(const ReportScope&) = delete;
  ReportScope& operator=(const ReportScope&) = delete;

  const ReportContext& context() const { return context_; }
  bool anyFailureReported() const { return failureReported_; }

 private:
  friend void NoteFailureReported();
  ReportContext context_;
  bool failureReported_ = false;
  ReportScope* previous_;
};

// The context of the innermost scope, an empty one outside every scope.
const ReportContext& CurrentReportContext();

// Reports a failure and returns the decision: 1 end the program, 2 continue.
int ErrorSub(std::int32_t number, const std::string& source, const std::string& description,
             const std::string& procName, bool fatal);

// Logs a failure that its procedure goes on from by design, without a question (a value
// that could not be stored, a value cut short): the error log's line as ErrorSub writes
// it, and the run counts as one with failures.
void LogFailure(std::int32_t number, const std::string& description, const std::string& procName);

// A limit the run meets by design and goes on from, which a person can only take note
// of (choices program.ini cannot hold, pictures a page cannot show): nothing unexpected
// happened and there is nothing to decide. The error log's line as ErrorSub writes it,
// and the run counts as one with failures; then an information box with the sentence
// alone, or in silent mode the service-pack entry ErrorSub writes.
void ReportNotice(std::int32_t number, const std::string& description, const std::string& procName);

// Appends text as one line to the error log (or, when that cannot be written, to the
// fallback log) and returns the notice "Error logged to " LF CR + the path of the log
// the entry went to, as it lies on disk. An entry that no error log takes goes to
// standard error and the service-pack log, and the run counts as one with failures.
std::string WriteErrorLog(const std::string& text);

// Silent: a service-pack log entry; otherwise a critical box titled with the
// executable name.
void ReportFault(const std::string& text);

// Appends "! Fault " + executable name + ": " + text to the service-pack log. An entry it
// cannot take goes to standard error and the error log, and the run counts as one with
// failures.
void WriteServicePackLog(const std::string& text);

// The service-pack log: QUARN_SERVICEPACK_LOG when set and not empty, else the
// system-wide file.
std::string ServicePackLogPath();

// Ends the program at once; a failure decision ends with exit status 1.
[[noreturn]] void EndProgram(int exitStatus = 1);

// Whether any failure or fault was reported in the current scope (exit status 2 after
// OK).
bool AnyFailureReported();

}  // namespace velnor
