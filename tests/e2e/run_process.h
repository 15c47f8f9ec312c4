#pragma once
// Runs a program as a parent program would: its own environment, its own working
// folder, output captured, and a time limit so that a run stuck on a dialog fails the
// test instead of hanging it.
#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velnor::e2e {

struct RunResult {
  int exitStatus = -1;    // the status passed to exit, or 128 + signal
  bool timedOut = false;  // killed after the time limit
  std::string out;        // standard output
  std::string err;        // standard error
  std::chrono::milliseconds took{0};
  std::string Describe() const;  // status and output, for failure messages
};

struct RunOptions {
  std::filesystem::path workingFolder = "/";
  // Entries put first into the environment, in this order (the tool reads the first one).
  std::vector<std::pair<std::string, std::string>> firstEntries;
  // Variables to set (after the inherited ones are copied) and to remove.
  std::map<std::string, std::string> set;
  std::vector<std::string> unset;
  std::chrono::seconds timeLimit{120};
  // Kills the program (SIGKILL; on Windows TerminateProcess) this long after its start,
  // as a crash or a power cut would end it; its status is then 128 + 9.
  std::optional<std::chrono::microseconds> killAfter;
};

// Each system has its own way to start a program (run_process_posix.cpp,
// run_process_windows.cpp). The arguments are UTF-8.
RunResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                     const RunOptions& options);

// The bytes of a file, "" when it cannot be read.
std::string Slurp(const std::filesystem::path& path);

}  // namespace velnor::e2e
