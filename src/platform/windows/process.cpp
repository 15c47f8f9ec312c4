#include "platform/process.h"

#include "platform/native.h"
#include "platform/windows/wide.h"

namespace velnor {

std::vector<std::string> ProgramArguments(int /*argc*/, const char* const* /*argv*/) {
  return SplitArguments(ArgumentsAfterProgramName(windows::Narrow(::GetCommandLineW())));
}

std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const std::wstring wideName = windows::Widen(name);
  std::wstring value(64, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length =
        ::GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) {
      if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::string();
    }
    if (length < value.size()) {
      value.resize(length);
      return windows::Narrow(value);
    }
    value.resize(length);  // too small: length is the size needed, with the closing NUL
  }
}

std::string SystemLogFolder() {
  return "C:\\";
}

std::string SystemFontsFolder() {
  wchar_t folder[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return windows::Narrow(std::wstring(folder, length)) + "\\Fonts";
}

}  // namespace velnor

namespace velnor::native {

long CurrentProcessId() {
  return static_cast<long>(::GetCurrentProcessId());
}

bool ProcessRuns(long processId) {
  const HANDLE process =
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(processId));
  // No such process is an invalid parameter; any other refusal means it exists.
  if (process == nullptr) return ::GetLastError() != ERROR_INVALID_PARAMETER;
  DWORD exitCode = 0;
  // A process that has ended lives on as an object while anyone holds a handle to it.
  const bool runs = ::GetExitCodeProcess(process, &exitCode) == 0 || exitCode == STILL_ACTIVE;
  ::CloseHandle(process);
  return runs;
}

std::string ExecutablePath(const char* /*startedAs*/) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return windows::Narrow(path);
    }
    path.resize(path.size() * 2);  // cut short: long paths exceed MAX_PATH
  }
}

std::string CommandLineText(int /*argc*/, const char* const* /*argv*/) {
  // main's argv is in the ANSI code page and already split; the system keeps the text as
  // the parent passed it, in UTF-16.
  return ArgumentsAfterProgramName(windows::Narrow(::GetCommandLineW()));
}

std::string FirstEnvironmentEntry(const char* const* /*envp*/) {
  // The block the system hands a process starts with hidden per-drive entries
  // ("=Z:=Z:\folder") that the C runtime leaves out of the program's environment; main's
  // envp, in the ANSI code page, keeps them under some runtimes. The first entry without
  // that mark is the one the program sees first.
  wchar_t* block = ::GetEnvironmentStringsW();
  if (block == nullptr) return {};
  std::string first;
  for (const wchar_t* entry = block; *entry != L'\0';
       entry += std::wstring_view(entry).size() + 1) {
    if (*entry == L'=') continue;
    first = windows::Narrow(entry);
    break;
  }
  ::FreeEnvironmentStringsW(block);
  return first;
}

}  // namespace velnor::native
