#include "platform/native.h"
#include "platform/windows/wide.h"

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
  std::wstring_view text = ::GetCommandLineW();
  std::size_t pos = 0;
  if (!text.empty() && text.front() == L'"') {
    const std::size_t closing = text.find(L'"', 1);
    pos = closing == std::wstring_view::npos ? text.size() : closing + 1;
  } else {
    while (pos < text.size() && text[pos] != L' ' && text[pos] != L'\t') ++pos;
  }
  while (pos < text.size() && (text[pos] == L' ' || text[pos] == L'\t')) ++pos;
  return windows::Narrow(text.substr(pos));
}

}  // namespace velnor::native
