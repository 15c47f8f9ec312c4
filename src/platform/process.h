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
  std::string executableFolder;  // folder the executable was started from, no trailing separator
  std::string
      executableFileName;  // file name as on disk, e.g. "Widget_Config" or "Widget_Config.exe"
  std::string executableBaseName;     // file name without extension
  std::string firstEnvironmentEntry;  // "NAME=value", "" when the environment was empty
  ProgramVersion version;
};

// The facts of this process, captured once at the start of main, before any library
// touches the environment. The executable's location is the path it was started by,
// checked against the system's own (/proc/self/exe, GetModuleFileNameW): a symbolic link
// in a project's Config folder counts as a copy there would. Never the working directory
// alone.
ProcessFacts CaptureProcessFacts(int argc, const char* const* argv, const char* const* envp);

// The program's own version, built in from the project version.
ProgramVersion BuiltInVersion();

// The command-line text of the given arguments (argv[1..]), joined by single blanks.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace velnor
