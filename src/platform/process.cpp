#include "platform/process.h"

#include <filesystem>
#include <system_error>

#include "platform/fs_path.h"
#include "platform/native.h"
#include "platform/paths.h"

namespace velnor {

ProgramVersion BuiltInVersion() {
  return {VELNOR_VERSION_MAJOR, VELNOR_VERSION_MINOR, VELNOR_VERSION_PATCH};
}

std::string JoinArguments(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return text;
}

std::string ArgumentsAfterProgramName(std::string_view commandLine) {
  std::size_t pos = 0;
  if (!commandLine.empty() && commandLine.front() == '"') {
    const std::size_t closing = commandLine.find('"', 1);
    pos = closing == std::string_view::npos ? commandLine.size() : closing + 1;
  } else {
    while (pos < commandLine.size() && commandLine[pos] != ' ' && commandLine[pos] != '\t') ++pos;
  }
  while (pos < commandLine.size() && (commandLine[pos] == ' ' || commandLine[pos] == '\t')) ++pos;
  return std::string(commandLine.substr(pos));
}

std::vector<std::string> SplitArguments(std::string_view arguments) {
  std::vector<std::string> result;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  std::size_t backslashes = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const char c = arguments[i];
    if (c == '\\') {
      ++backslashes;
      inArgument = true;
      continue;
    }
    if (c == '"') {
      current.append(backslashes / 2, '\\');
      if (backslashes % 2 == 1) {
        current += '"';
      } else if (quoted && i + 1 < arguments.size() && arguments[i + 1] == '"') {
        current += '"';
        ++i;
      } else {
        quoted = !quoted;
      }
      backslashes = 0;
      inArgument = true;
      continue;
    }
    current.append(backslashes, '\\');
    backslashes = 0;
    if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) result.push_back(std::move(current));
      current.clear();
      inArgument = false;
      continue;
    }
    current += c;
    inArgument = true;
  }
  current.append(backslashes, '\\');
  if (inArgument) result.push_back(std::move(current));
  return result;
}

ProcessFacts CaptureProcessFacts(int argc, const char* const* argv, const char* const* envp) {
  ProcessFacts facts;
  facts.firstEnvironmentEntry = native::FirstEnvironmentEntry(envp);
  facts.commandLine = native::CommandLineText(argc, argv);
  facts.version = BuiltInVersion();

  std::string exe = native::ExecutablePath(argc > 0 ? argv[0] : nullptr);
  if (exe.empty() && argc > 0) {
    std::error_code error;
    exe = Utf8Of(std::filesystem::absolute(FsPath(argv[0]), error));
  }
  facts.executableFolder = FolderOf(exe);
  facts.executableFileName = FileNameOf(exe);
  facts.executableBaseName = WithoutExtension(facts.executableFileName);
  return facts;
}

std::string VersionText(const ProgramVersion& version) {
  return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
         std::to_string(version.revision);
}

}  // namespace velnor
