#include "app/start_mode.h"

#include "errors/procedure.h"
#include "platform/encoding.h"
#include "platform/process.h"

namespace velnor {

bool IntegratedMode = false;
bool SilentMode = false;

namespace {

std::string TrimBlanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// Byte length of the character that starts at text[pos]: a UTF-8 sequence, or one
// byte of text that is no UTF-8 (which then is its own character).
std::size_t CharacterLength(const std::string& text, std::size_t pos) {
  std::size_t next = pos;
  DecodeUtf8(text, next);
  return next - pos;
}

std::string ValueText(const std::optional<std::string>& value) {
  return value.value_or("");
}

}  // namespace

std::optional<std::string> ReadCommand(const std::string& commandLine, const std::string& key) {
  Procedure proc("ReadCommand");
  std::optional<std::string> result;
  std::string value;
  proc.Step([&] {
    const auto pos = UpperCase(commandLine).find(UpperCase(key));
    if (pos == std::string::npos) return;
    const std::size_t keyEnd = pos + key.size();
    // Exactly one character after the key is skipped, whatever it is; a key at the
    // very end of the line leaves nothing to skip.
    if (keyEnd >= commandLine.size()) {
      result = "";
      Raise(failure_number::kInvalidArgument, "Invalid procedure call or argument");
    }
    value = commandLine.substr(keyEnd + CharacterLength(commandLine, keyEnd));
    value = UpperCase(TrimBlanks(value));
    if (const auto slash = value.find('/'); slash != std::string::npos) {
      value = UpperCase(TrimBlanks(value.substr(0, slash)));
    }
    result = value;
  });
  return result;
}

bool GetStartModeIntegrated() {
  Procedure proc("GetStartModeIntegrated");
  bool integrated = false;
  proc.Step([&] {
    const std::string value = UpperCase(ValueText(ReadCommand(Process().commandLine, "EXTERNAL")));
    integrated = value == "ZORCFG";
    IntegratedMode = integrated;
    SilentMode = value == "SILENT";
    if (SilentMode) IntegratedMode = integrated = false;
  });
  return integrated;
}

std::string GetPathLogfile() {
  Procedure proc("GetPathLogfile");
  std::string path;
  proc.Step([&] { path = ValueText(ReadCommand(Process().commandLine, "LOGFILE")); });
  return path;
}

}  // namespace velnor
