#include "platform/process.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/native.h"

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

}  // namespace velnor::native
