#pragma once
// Runs another program as a child process under a time limit. Work that may hang or
// crash on bad input (reading foreign file formats) runs there, so that neither can
// take the tool down with it.
#include <chrono>
#include <string>
#include <vector>

namespace velnor {

struct ChildOutcome {
  bool started = false;   // false: the program could not be started (see error)
  bool timedOut = false;  // killed after the time limit
  bool exited = false;    // ended by itself; exitStatus holds its status
  int exitStatus = 0;
  int signal = 0;           // the signal that ended it, when it did not exit
  std::string output;       // what it wrote to standard output
  std::string errorOutput;  // the last part of what it wrote to standard error
  std::string error;        // why it could not be started

  bool Succeeded() const { return exited && exitStatus == 0; }
  // "exit status 3", "killed by signal 11 (Segmentation fault)", "no answer within 2 s".
  std::string Describe() const;
};

// Starts program with the arguments (argv[1..]) and waits for it at most timeLimit; a
// child still running then is killed. The child is started by exec, never by a bare
// fork, since the calling process may run threads of its own. Standard input is
// /dev/null.
ChildOutcome RunChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                             std::chrono::milliseconds timeLimit);

}  // namespace velnor
