#include "app/command_line.h"

#include "platform/encoding.h"

namespace velnor {
namespace {

// Byte length of the character that starts at text[pos]: a UTF-8 sequence, or one
// byte of text that is no UTF-8 (which then is its own character).
std::size_t CharacterLength(std::string_view text, std::size_t pos) {
  std::size_t next = pos;
  DecodeUtf8(text, next);
  return next - pos;
}

}  // namespace

OptionRead ReadCommand(std::string_view commandLine, std::string_view key) {
  OptionRead read;
  const auto pos = FindIgnoringCase(commandLine, key);
  if (pos == std::string::npos) return read;
  const std::size_t keyEnd = pos + key.size();
  // Exactly one character after the key is skipped, whatever it is; a key at the very
  // end of the line leaves nothing to skip.
  if (keyEnd >= commandLine.size()) {
    read.value = "";
    read.keyAtEnd = true;
    return read;
  }
  std::string_view text =
      Trim(commandLine.substr(keyEnd + CharacterLength(commandLine, keyEnd)), " ");
  text = Trim(text.substr(0, text.find('/')), " ");
  read.asPassed = std::string(text);
  // Upper-casing keeps every character's byte length: the value is the text as passed.
  read.value = UpperCase(text);
  return read;
}

CommandLine ParseCommandLine(std::string_view commandLine) {
  return {ReadCommand(commandLine, "EXTERNAL"), ReadCommand(commandLine, "LOGFILE")};
}

StartMode StartModeOf(const CommandLine& commandLine) {
  const std::string value = commandLine.external.value.value_or("");
  StartMode mode;
  mode.silent = value == "SILENT";
  mode.integrated = value == "ZORCFG";
  return mode;
}

}  // namespace velnor
