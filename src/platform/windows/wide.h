#pragma once
// The one crossing between the program's UTF-8 text and the UTF-16 of the wide Windows
// API. Every file name goes through it, so that names outside the ANSI code page work.
#include <windows.h>

#include <string>
#include <string_view>

namespace velnor::windows {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's own description of an error code (GetLastError()), in UTF-8.
std::string ErrorText(DWORD error);

}  // namespace velnor::windows
