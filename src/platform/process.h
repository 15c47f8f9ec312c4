#pragma once
// Facts about this process that the original platform handed out: the command-line
// text, where the executable lies and what it is called, its version, and the first
// entry of the environment as the process received it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

struct ProgramVersion {
  int major = 0;
  int minor = 0;
  int revision = 0;
};

// "major.minor.revision", each in decimal.
std::string VersionText(const ProgramVersion& version);

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

// What follows the program's name in a command line as Windows keeps it: a quoted name
// ends at the next quote, any other at the first blank or tab, and the blanks and tabs
// after it go too. The rest stays as the parent wrote it ("/LOGFILE=C:\x y\log.txt").
std::string ArgumentsAfterProgramName(std::string_view commandLine);

// The arguments in such a text, split as the C runtime of Windows splits them: at blanks
// and tabs outside double quotes; 2n backslashes before a quote are n backslashes and the
// quote opens or closes, 2n+1 are n and a literal quote; "" inside quotes is a quote.
std::vector<std::string> SplitArguments(std::string_view arguments);

// The arguments after the program's name, each in UTF-8. On Windows main's argv is in
// the ANSI code page, so they are split from the system's own UTF-16 command line.
std::vector<std::string> ProgramArguments(int argc, const char* const* argv);

// An environment variable's value in UTF-8; nothing when it is not set.
std::optional<std::string> EnvironmentVariable(const std::string& name);

// Where system-wide logs lie: "/var/log", on Windows the root of drive C.
std::string SystemLogFolder();

// The folder of the system's fonts where programs must name it themselves (on Windows
// "<Windows folder>\Fonts"); "" where the system finds its fonts for them (fontconfig).
std::string SystemFontsFolder();

}  // namespace velnor
