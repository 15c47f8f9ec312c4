#pragma once
// The command line and the start mode it asks for, read once when the run starts by
// functions that depend on nothing but the text.
#include <optional>
#include <string>
#include <string_view>

namespace velnor {

// An option as the command line gives it.
struct OptionRead {
  // Upper-cased and trimmed, up to the next "/"; no value when the key does not occur
  // anywhere in the line. Values are compared in this form.
  std::optional<std::string> value;
  // The same text as the parent passed it, not upper-cased: a path names a file on a
  // file system that tells case apart.
  std::string asPassed;
  // The key stands at the very end of the line, with no character after it to skip:
  // an invalid call, to be reported; the value is then "".
  bool keyAtEnd = false;
};

// The value of the option named by key: the text after the key's first occurrence
// (found without regard to case) and the one character after it.
OptionRead ReadCommand(std::string_view commandLine, std::string_view key);

struct CommandLine {
  OptionRead external;  // "EXTERNAL": the start mode
  OptionRead logFile;   // "LOGFILE": the error log while integrated
};

CommandLine ParseCommandLine(std::string_view commandLine);

struct StartMode {
  bool integrated = false;  // on behalf of the parent configuration program
  bool silent = false;      // the stored settings applied without a window
};

// "EXTERNAL=ZORCFG" is integrated, "EXTERNAL=SILENT" silent, anything else standalone.
StartMode StartModeOf(const CommandLine& commandLine);

}  // namespace velnor
