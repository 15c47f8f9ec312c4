#include "platform/paths.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/encoding.h"
#include "platform/fs_path.h"

namespace velnor {
namespace {

std::filesystem::file_type TypeOf(const std::string& path) {
  std::error_code error;
  return std::filesystem::status(FsPath(path), error).type();
}

bool Exists(const std::string& path) {
  const std::filesystem::file_type type = TypeOf(path);
  return type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::none;
}

// The separators a path starts with, each the platform's own. A UNC path
// ("\\server\share") keeps both of its leading ones; elsewhere one is the root.
std::string RootOf(std::string_view path) {
  std::size_t count = 0;
  while (count < path.size() && IsPathSeparator(path[count])) ++count;
  const std::size_t kept =
      kPathSeparator == '\\' ? std::min<std::size_t>(count, 2) : std::min<std::size_t>(count, 1);
  return std::string(kept, kPathSeparator);
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
  std::filesystem::directory_iterator it(FsPath(folder.empty() ? "." : folder), error);
  if (error) return {};
  const std::string wanted = UpperCase(name);
  // A listing that fails half-way (an I/O error) ends the search instead of throwing:
  // the lookup also serves the failure report's own log writes.
  for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
    const std::string candidate = Utf8Of(it->path().filename());
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
  for (char& c : path) {
    if (IsPathSeparator(c)) c = kPathSeparator;
  }
  return path;
}

std::string ResolvePath(std::string_view path) {
  const std::string native = NativePath(path);
  if (native.empty() || Exists(native)) return native;

  std::string resolved = RootOf(native);
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
  return !path.empty() && TypeOf(ResolvePath(path)) == std::filesystem::file_type::regular;
}

bool FolderExists(std::string_view path) {
  return !path.empty() && TypeOf(ResolvePath(path)) == std::filesystem::file_type::directory;
}

FolderListing::FolderListing(std::string_view folder) {
  std::error_code error;
  std::filesystem::directory_iterator it(FsPath(ResolvePath(folder)), error);
  for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
    upperNames_.insert(UpperCase(Utf8Of(it->path().filename())));
  }
  listed_ = !error;
}

bool FolderListing::MayHold(std::string_view name) const {
  return !listed_ || upperNames_.contains(UpperCase(name));
}

}  // namespace velnor
