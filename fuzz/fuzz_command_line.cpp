// The command line as the parent program passes it. An input with a NUL byte also names
// a key of its own: the text before the NUL, looked for in the text after it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/command_line.h"
#include "fuzz_check.h"
#include "platform/encoding.h"

namespace {

void CheckOption(std::string_view line, std::string_view key, const velnor::OptionRead& read) {
  if (!read.value) {
    VELNOR_FUZZ_CHECK(read.asPassed.empty() && !read.keyAtEnd);
    VELNOR_FUZZ_CHECK(velnor::FindIgnoringCase(line, key) == std::string_view::npos);
    return;
  }
  if (read.keyAtEnd) {
    VELNOR_FUZZ_CHECK(read.value->empty() && read.asPassed.empty());
    return;
  }
  // The value is the text as passed, upper-cased, and compares in that form.
  VELNOR_FUZZ_CHECK(velnor::UpperCase(read.asPassed) == *read.value);
  VELNOR_FUZZ_CHECK(read.asPassed.size() == read.value->size());
  VELNOR_FUZZ_CHECK(read.asPassed.find('/') == std::string::npos);
  VELNOR_FUZZ_CHECK(read.asPassed.empty() ||
                    (read.asPassed.front() != ' ' && read.asPassed.back() != ' '));
  VELNOR_FUZZ_CHECK(line.find(read.asPassed) != std::string_view::npos);
  // The key's case does not matter.
  const velnor::OptionRead upper = velnor::ReadCommand(line, velnor::UpperCase(key));
  VELNOR_FUZZ_CHECK(upper.value == read.value && upper.asPassed == read.asPassed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const velnor::CommandLine commandLine = velnor::ParseCommandLine(input);
  CheckOption(input, "EXTERNAL", commandLine.external);
  CheckOption(input, "LOGFILE", commandLine.logFile);
  const velnor::StartMode mode = velnor::StartModeOf(commandLine);
  const std::string external = commandLine.external.value.value_or("");
  VELNOR_FUZZ_CHECK(mode.integrated == (external == "ZORCFG"));
  VELNOR_FUZZ_CHECK(mode.silent == (external == "SILENT"));

  if (const std::size_t nul = input.find('\0'); nul != std::string_view::npos) {
    const std::string_view key = input.substr(0, nul);
    const std::string_view line = input.substr(nul + 1);
    CheckOption(line, key, velnor::ReadCommand(line, key));
  }
  return 0;
}
