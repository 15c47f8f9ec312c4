// Runs the program with fork and execve.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "run_process.h"

extern char** environ;

namespace velnor::e2e {
namespace {

std::vector<std::string> BuildEnvironment(const RunOptions& options) {
  std::vector<std::string> env;
  for (const auto& [name, value] : options.firstEntries) env.push_back(name + "=" + value);
  const auto isReplaced = [&](const std::string& name) {
    return options.set.count(name) > 0 ||
           std::find(options.unset.begin(), options.unset.end(), name) != options.unset.end() ||
           std::any_of(options.firstEntries.begin(), options.firstEntries.end(),
                       [&](const auto& e) { return e.first == name; });
  };
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!isReplaced(text.substr(0, text.find('=')))) env.push_back(text);
  }
  for (const auto& [name, value] : options.set) env.push_back(name + "=" + value);
  return env;
}

}  // namespace

RunResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                     const RunOptions& options) {
  char outName[] = "/tmp/velnor-e2e-out-XXXXXX";
  char errName[] = "/tmp/velnor-e2e-err-XXXXXX";
  const int outFd = mkstemp(outName);
  const int errFd = mkstemp(errName);
  RunResult result;
  if (outFd < 0 || errFd < 0) {
    result.err = std::string("cannot create the output files: ") + std::strerror(errno);
    return result;
  }

  std::vector<std::string> argStrings{program.string()};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argStrings) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings = BuildEnvironment(options);
  std::vector<char*> envp;
  for (std::string& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // Only async-signal-safe calls between fork and exec.
    if (chdir(options.workingFolder.c_str()) != 0) _exit(126);
    const int devNull = open("/dev/null", O_RDONLY);
    dup2(devNull, STDIN_FILENO);
    dup2(outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  int status = 0;
  if (child > 0) {
    const auto deadline = start + options.timeLimit;
    if (options.killAfter) {
      std::this_thread::sleep_until(start + *options.killAfter);
      kill(child, SIGKILL);
    }
    while (waitpid(child, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        result.timedOut = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  result.took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  if (child < 0) {
    result.err = std::string("fork failed: ") + std::strerror(errno);
  } else if (WIFEXITED(status)) {
    result.exitStatus = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    result.exitStatus = 128 + WTERMSIG(status);
  }
  close(outFd);
  close(errFd);
  result.out = Slurp(outName);
  result.err += Slurp(errName);
  std::filesystem::remove(outName);
  std::filesystem::remove(errName);
  return result;
}

}  // namespace velnor::e2e
