#include "platform/paths.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/encoding.h"

namespace velnor {
namespace {

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

std::vector<std::string> SplitComponents(std::string_view path) {
  std::vector<std::string> parts;
  std::string current;
  for (const char c : path) {
    if (IsPathSeparator(c)) {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

// The entry of folder whose name matches name without regard to case, "" if none.
std::string FindEntryIgnoringCase(const std::string& folder, const std::string& name) {
  std::error_code error;
  std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error);
  if (error) return {};
  const std::string wanted = UpperCase(name);
  // A listing that fails half-way (an I/O error) ends the search instead of throwing:
  // the lookup also serves the failure report's own log writes.
  for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
    const std::string candidate = it->path().filename().string();
    if (UpperCase(candidate) == wanted) return candidate;
  }
  return {};
}

}  // namespace

bool IsPathSeparator(char c) {
  return c == '/' || c == '\\';
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && !IsPathSeparator(path.back())) path += kPathSeparator;
  path += name;
  return path;
}

std::string FolderOf(std::string_view path) {
  const auto pos = path.find_last_of("/\\");
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos));
}

std::string FileNameOf(std::string_view path) {
  const auto pos = path.find_last_of("/\\");
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string WithoutExtension(std::string_view fileName) {
  const auto pos = fileName.rfind('.');
  return std::string(pos == std::string_view::npos || pos == 0 ? fileName
                                                               : fileName.substr(0, pos));
}

std::string NativePath(std::string_view text) {
  std::string path(text);
  if constexpr (kPathSeparator == '/') {
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
  }
  return path;
}

std::string ResolvePath(std::string_view path) {
  const std::string native = NativePath(path);
  if (native.empty() || Exists(native)) return native;

  const bool absolute = IsPathSeparator(native.front());
  std::string resolved = absolute ? std::string(1, kPathSeparator) : std::string();
  bool stillFound = true;  // once a component is missing, the rest is kept as composed
  for (const std::string& part : SplitComponents(native)) {
    const std::string exact = resolved.empty() ? part : JoinPath(resolved, part);
    if (stillFound && !Exists(exact)) {
      const std::string match = FindEntryIgnoringCase(resolved, part);
      if (!match.empty()) {
        resolved = resolved.empty() ? match : JoinPath(resolved, match);
        continue;
      }
      stillFound = false;
    }
    resolved = exact;
  }
  if (!native.empty() && IsPathSeparator(native.back())) resolved += kPathSeparator;
  return resolved;
}

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
  struct stat info {};
  return ::stat(ResolvePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(std::string_view path) {
  if (path.empty()) return false;
  struct stat info {};
  return ::stat(ResolvePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace velnor
