#include "platform/console.h"

#include <windows.h>

#include <cstdio>

namespace velnor {
namespace {

// A handle the program was given: a console, a file or a pipe. A GUI program started
// without one has none, or an inherited value that names nothing.
bool Given(DWORD stream) {
  const HANDLE handle = ::GetStdHandle(stream);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         ::GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void AttachToParentConsole() {
  const bool output = Given(STD_OUTPUT_HANDLE);
  const bool error = Given(STD_ERROR_HANDLE);
  if (output && error) return;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
  // The C runtime set its streams up at start, without the console: they are opened
  // again on it. A stream that cannot be stays as it was (its output lost, as before).
  if (!output) static_cast<void>(std::freopen("CONOUT$", "w", stdout));
  if (!error) static_cast<void>(std::freopen("CONOUT$", "w", stderr));
}

}  // namespace velnor
