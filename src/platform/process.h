#pragma once
// Facts about this process that the original platform handed out: the command-line
// text, where the executable lies and what it is called, its version, and the first
// entry of the environment as the process received it.
#include <string>

namespace velnor {

struct ProgramVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

struct ProcessFacts {
  std::string commandLine;       // the arguments after the program's name, joined by blanks
  std::string executableFolder;  // real folder of the executable, no trailing separator
  std::string
      executableFileName;  // file name as on disk, e.g. "Widget_Config" or "Widget_Config.exe"
  std::string executableBaseName;     // file name without extension
  std::string firstEnvironmentEntry;  // "NAME=value", "" when the environment was empty
  ProgramVersion version;
};

// The facts of this process, captured once at the start of main, before any library
// touches the environment. The executable's location comes from the system
// (/proc/self/exe, GetModuleFileNameW), never from the working directory or argv[0].
ProcessFacts CaptureProcessFacts(int argc, const char* const* argv, const char* const* envp);

// The program's own version, built in from the project version.
ProgramVersion BuiltInVersion();

// The command-line text of the given arguments (argv[1..]), joined by single blanks.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace velnor
