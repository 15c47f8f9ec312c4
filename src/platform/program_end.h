#pragma once
// Ending the program at once, through an interface so that tests can observe an end
// of program instead of losing their process.
namespace velnor {

class ProgramEnd {
 public:
  virtual ~ProgramEnd() = default;
  // Must not return.
  [[noreturn]] virtual void End(int exitStatus) = 0;
};

// Ends the process through the installed ProgramEnd; the default exits with the status.
[[noreturn]] void EndProcess(int exitStatus);

// Installs an end (nullptr restores the default); returns the one installed before.
// Process-wide, as ending the process is.
ProgramEnd* SetProgramEnd(ProgramEnd* end);

// What an end throws when it unwinds to the program's main instead of exiting where it
// stands. Deliberately not a std::exception, so that no guard of the failure convention
// mistakes an end of program for a failure.
struct ProgramEnded {
  int exitStatus;
};

}  // namespace velnor
