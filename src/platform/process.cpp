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

ProcessFacts CaptureProcessFacts(int argc, const char* const* argv, const char* const* envp) {
  ProcessFacts facts;
  facts.firstEnvironmentEntry = (envp != nullptr && envp[0] != nullptr) ? envp[0] : "";
  facts.commandLine = native::CommandLineText(argc, argv);
  facts.version = BuiltInVersion();

  std::string exe = native::ExecutablePath(argc > 0 ? argv[0] : nullptr);
  if (exe.empty() && argc > 0) {
    std::error_code error;
    exe = Utf8Of(std::filesystem::absolute(argv[0], error));
  }
  facts.executableFolder = FolderOf(exe);
  facts.executableFileName = FileNameOf(exe);
  facts.executableBaseName = WithoutExtension(facts.executableFileName);
  return facts;
}

}  // namespace velnor
