#include "platform/posix/started_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace velnor::posix {
namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool NamesADescriptor(const std::string& path) {
  return path.starts_with("/proc/") || path.starts_with("/dev/fd/");
}

std::string Normal(std::string_view folder, std::string_view path) {
  std::filesystem::path joined(folder);
  joined /= std::filesystem::path(path);
  return joined.lexically_normal().string();
}

}  // namespace

std::string AbsoluteStartedPath(std::string_view startedAs, std::string_view workingFolder,
                                std::string_view searchPath) {
  if (startedAs.empty()) return {};
  if (startedAs.find('/') != std::string_view::npos) return Normal(workingFolder, startedAs);
  for (std::size_t begin = 0;;) {
    const std::size_t end = searchPath.find(':', begin);
    const std::string_view entry = searchPath.substr(begin, end - begin);
    std::string candidate = Normal(workingFolder, entry.empty() ? std::string_view(".") : entry);
    candidate = Normal(candidate, startedAs);
    if (IsExecutableFile(candidate)) return candidate;
    if (end == std::string_view::npos) return {};
    begin = end + 1;
  }
}

std::string StartedPathOf(std::string_view startedAs, std::string_view workingFolder,
                          std::string_view searchPath, const std::string& executable) {
  const std::string path = AbsoluteStartedPath(startedAs, workingFolder, searchPath);
  if (path.empty() || NamesADescriptor(path) || !SameFile(path, executable)) return {};
  return path;
}

}  // namespace velnor::posix
