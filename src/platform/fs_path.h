#pragma once
// File names are UTF-8 text throughout the program. A std::filesystem::path made from a
// narrow string reads it in the system's code page on Windows, which garbles every name
// outside it, so names cross into and out of std::filesystem through these two only.
#include <filesystem>
#include <string>
#include <string_view>

namespace velnor {

std::filesystem::path FsPath(std::string_view utf8);
std::string Utf8Of(const std::filesystem::path& path);

}  // namespace velnor
