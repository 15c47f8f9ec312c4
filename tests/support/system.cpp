#include "support/system.h"

#include <cstdlib>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace velnor::test {

std::filesystem::path NewTemporaryFolder(const std::string& prefix) {
  std::random_device random;
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  for (int attempt = 0; !error && attempt < 100; ++attempt) {
    const std::filesystem::path folder = temp / (prefix + std::to_string(random()));
    // Made here and now, or taken already: a name is never shared with another run.
    if (std::filesystem::create_directory(folder, error)) return folder;
  }
  return {};
}

#ifdef _WIN32

namespace {

std::wstring Wide(const std::string& utf8) {
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
  return wide;
}

// This very test executable, started suspended: a process that exists and never runs.
PROCESS_INFORMATION StartSuspended() {
  wchar_t path[MAX_PATH * 4] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring commandLine = L"\"" + std::wstring(path) + L"\" --gtest_list_tests";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(path, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &process)) {
    std::abort();
  }
  ::CloseHandle(process.hThread);
  return process;
}

}  // namespace

void SetEnvironment(const std::string& name, const std::string& value) {
  // The wide call: the narrow one reads the value in the ANSI code page.
  ::_wputenv_s(Wide(name).c_str(), Wide(value).c_str());
}

void UnsetEnvironment(const std::string& name) {
  ::_wputenv_s(Wide(name).c_str(), L"");  // an empty value removes the variable
}

bool AddHiddenDriveEntry() {
  return ::SetEnvironmentVariableW(L"=Q:", L"Q:\\") != 0;
}

bool PermissionBitsBind() {
  return false;
}

long ThisProcessId() {
  return static_cast<long>(::GetCurrentProcessId());
}

long EndedProcessId() {
  const PROCESS_INFORMATION process = StartSuspended();
  ::TerminateProcess(process.hProcess, 0);
  ::WaitForSingleObject(process.hProcess, INFINITE);
  ::CloseHandle(process.hProcess);
  return static_cast<long>(process.dwProcessId);
}

RunningProcess::RunningProcess() {
  const PROCESS_INFORMATION process = StartSuspended();
  id_ = static_cast<long>(process.dwProcessId);
  handle_ = process.hProcess;
}

RunningProcess::~RunningProcess() {
  ::TerminateProcess(static_cast<HANDLE>(handle_), 0);
  ::WaitForSingleObject(static_cast<HANDLE>(handle_), INFINITE);
  ::CloseHandle(static_cast<HANDLE>(handle_));
}

#else

void SetEnvironment(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetEnvironment(const std::string& name) {
  ::unsetenv(name.c_str());
}

bool AddHiddenDriveEntry() {
  return false;
}

bool PermissionBitsBind() {
  return ::geteuid() != 0;
}

long ThisProcessId() {
  return static_cast<long>(::getpid());
}

long EndedProcessId() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return static_cast<long>(child);
}

RunningProcess::RunningProcess() {
  const pid_t child = ::fork();
  if (child == 0) {
    for (;;) ::pause();
  }
  id_ = static_cast<long>(child);
}

RunningProcess::~RunningProcess() {
  ::kill(static_cast<pid_t>(id_), SIGKILL);
  ::waitpid(static_cast<pid_t>(id_), nullptr, 0);
}

#endif

}  // namespace velnor::test
