#include "platform/process.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/native.h"

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

std::string ExecutablePath() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : exe.string();
}

std::string CommandLineText(int argc, const char* const* argv) {
  return JoinArguments(argc, argv);
}

std::string FirstEnvironmentEntry(const char* const* envp) {
  return (envp != nullptr && envp[0] != nullptr) ? envp[0] : "";
}

}  // namespace velnor::native
