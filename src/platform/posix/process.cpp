#include "platform/process.h"

#include <signal.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/native.h"
#include "platform/posix/started_path.h"

namespace velnor {

std::vector<std::string> ProgramArguments(int argc, const char* const* argv) {
  return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string SystemLogFolder() {
  return "/var/log";
}

std::string SystemFontsFolder() {
  return "";
}

}  // namespace velnor

namespace velnor::native {

long CurrentProcessId() {
  return static_cast<long>(::getpid());
}

bool ProcessRuns(long processId) {
  return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno != ESRCH;
}

std::string ExecutablePath(const char* startedAs) {
  constexpr const char* kRunning = "/proc/self/exe";
  std::error_code error;
  const std::filesystem::path real = std::filesystem::read_symlink(kRunning, error);
  if (error) return {};
  const std::filesystem::path working = std::filesystem::current_path(error);
  if (error) return real.string();
  // A shell without PATH searches as the C library does.
  const std::string searchPath = EnvironmentVariable("PATH").value_or("/bin:/usr/bin");

  // The path the kernel opened comes first, argv[0] is the parent's choice. A bare name
  // handed to the kernel is a file of the working folder, never one found through PATH.
  std::vector<std::string> startedBy;
  const auto* opened = reinterpret_cast<const char*>(::getauxval(AT_EXECFN));
  if (opened != nullptr && *opened != '\0') {
    startedBy.push_back(std::strchr(opened, '/') != nullptr ? opened : std::string("./") + opened);
  }
  if (startedAs != nullptr) startedBy.push_back(startedAs);
  for (const std::string& candidate : startedBy) {
    std::string started = posix::StartedPathOf(candidate, working.string(), searchPath, kRunning);
    if (!started.empty()) return started;
  }
  return real.string();
}

std::string CommandLineText(int argc, const char* const* argv) {
  return JoinArguments(argc, argv);
}

std::string FirstEnvironmentEntry(const char* const* envp) {
  return (envp != nullptr && envp[0] != nullptr) ? envp[0] : "";
}

}  // namespace velnor::native
