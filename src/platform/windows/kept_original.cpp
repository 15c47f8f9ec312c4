#include "platform/kept_original.h"

#include "platform/paths.h"
#include "platform/windows/wide.h"

namespace velnor {
namespace {

constexpr int kMostNumbers = 1000;

}  // namespace

KeptOriginal KeepOriginalBeside(std::string_view path, std::string_view suffix) {
  const std::string original = ResolvePath(path);
  const std::wstring from = windows::Widen(original);
  for (int number = 1; number <= kMostNumbers; ++number) {
    const std::string candidate =
        original + (number == 1 ? "" : "." + std::to_string(number)) + std::string(suffix);
    const std::wstring to = windows::Widen(candidate);
    // A second name for the same file costs nothing and cannot overwrite: it fails on a
    // name that is taken. Where links are not possible (FAT, network shares), a copy
    // that fails on a taken name as well.
    if (::CreateHardLinkW(to.c_str(), from.c_str(), nullptr)) return {true, candidate, ""};
    DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) continue;
    if (::CopyFileW(from.c_str(), to.c_str(), /*bFailIfExists=*/TRUE)) {
      return {true, candidate, ""};
    }
    error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) continue;
    return {false, "",
            "cannot keep '" + original + "' as '" + candidate + "': " + windows::ErrorText(error)};
  }
  return {false, "", "cannot keep '" + original + "': every numbered name is taken"};
}

}  // namespace velnor
