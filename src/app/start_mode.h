#pragma once
// The command line and the start mode derived from it.
#include <optional>
#include <string>

namespace velnor {

// True while the tool runs on behalf of the parent configuration program.
extern bool IntegratedMode;
// True when the parent asks for the stored settings to be applied without a window.
extern bool SilentMode;

// The value of the option named by key in commandLine, upper-cased and trimmed; no
// value when the key does not occur anywhere in the line.
std::optional<std::string> ReadCommand(const std::string& commandLine, const std::string& key);

// Evaluates the process command line into IntegratedMode and SilentMode; true when
// integrated.
bool GetStartModeIntegrated();

// The LOGFILE option of the process command line, "" when there is none.
std::string GetPathLogfile();

}  // namespace velnor
