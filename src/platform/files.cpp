#include "platform/files.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/files_internal.h"
#include "platform/fs_path.h"
#include "platform/native.h"
#include "platform/paths.h"

namespace velnor {
namespace {

constexpr std::string_view kTempMarker = ".velnor-tmp.";

// The process number of a temporary file's name, or 0 when the name is none of ours.
long WriterOfTemporary(std::string_view name) {
  const std::size_t marker = name.rfind(kTempMarker);
  if (marker == std::string_view::npos || marker == 0) return 0;
  std::string_view rest = name.substr(marker + kTempMarker.size());
  const std::size_t dot = rest.find('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == rest.size()) return 0;
  const std::string_view digits = rest.substr(0, dot);
  const std::string_view number = rest.substr(dot + 1);
  const auto allDigits = [](std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (!allDigits(digits) || !allDigits(number) || digits.size() > 9) return 0;
  return std::stol(std::string(digits));
}

// As many links in a row as the system itself follows before it calls them a loop.
constexpr int kMaxLinksFollowed = 40;

}  // namespace

namespace files_internal {

std::string UniqueSuffix(std::string_view separator) {
  // One generator for the process: names only need to differ from each other.
  static std::mt19937 random{std::random_device{}()};
  return std::to_string(native::CurrentProcessId()) + std::string(separator) +
         std::to_string(random() % 1000000);
}

std::string TempNameBeside(const std::string& target) {
  return target + std::string(kTempMarker) + UniqueSuffix(".");
}

IoResult NotARegularFile(std::string_view path, std::string_view kind) {
  return {false, "cannot append to '" + std::string(path) + "': it is " + std::string(kind) +
                     ", not a regular file"};
}

std::optional<std::string> FollowLinks(std::string path, std::error_code& error) {
  namespace fs = std::filesystem;
  for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
    if (!fs::is_symlink(fs::symlink_status(FsPath(path), error))) {
      error.clear();  // a missing or unreadable entry is for the write itself to report
      return path;
    }
    const fs::path destination = fs::read_symlink(FsPath(path), error);
    if (error) return std::nullopt;
    // A relative destination counts from the link's own folder.
    path = Utf8Of(FsPath(path).parent_path() / destination);
  }
  error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  return std::nullopt;
}

IoResult ReplaceAtomically(std::string_view path, Replacement& system) {
  const std::string resolved = ResolvePath(path);
  std::error_code linkError;
  const std::optional<std::string> followed = FollowLinks(resolved, linkError);
  if (!followed) {
    return {false, "cannot follow the link '" + resolved + "': " + linkError.message()};
  }
  const std::string& target = *followed;
  const Replacement::Existing existing = system.Examine(target);
  if (existing.present && !existing.regular) return {false, "'" + target + "' is not a file"};
  // A file made read-only is kept from being changed, and moving over it would change it
  // all the same.
  if (existing.present && existing.readOnly) {
    return {false, "cannot replace '" + target + "': the file is read-only"};
  }
  const std::string temp = TempNameBeside(target);
  const IoResult written = system.Write(temp, target);
  if (!written) return written;
  const IoResult moved = system.MoveOver(temp, target);
  if (!moved) system.Remove(temp);
  return moved;
}

}  // namespace files_internal

std::optional<std::string> ReadFileBytes(std::string_view path) {
  if (!FileExists(path)) return std::nullopt;
  const std::filesystem::path file = FsPath(ResolvePath(path));
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  // In blocks, into room for the whole file: a settings file of tens of megabytes is
  // read in a fraction of the time (and memory) that character by character takes.
  std::string bytes;
  std::error_code unknownSize;
  if (const std::uintmax_t size = std::filesystem::file_size(file, unknownSize); !unknownSize) {
    bytes.reserve(static_cast<std::size_t>(size));
  }
  std::array<char, 1 << 16> block;
  while (in.read(block.data(), block.size()) || in.gcount() > 0) {
    bytes.append(block.data(), static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  return bytes;
}

TemporaryFolder::TemporaryFolder(std::string_view prefix) {
  std::error_code error;
  const std::filesystem::path where = std::filesystem::temp_directory_path(error);
  for (int attempt = 0; !error && attempt < 100; ++attempt) {
    const std::filesystem::path folder =
        where / FsPath(std::string(prefix) + files_internal::UniqueSuffix("-"));
    if (std::filesystem::create_directory(folder, error)) {
      path_ = Utf8Of(folder);
      return;
    }
  }
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(FsPath(path_), ignored);
}

std::vector<std::string> RemoveLeftoverTemporaries(std::string_view folder) {
  std::vector<std::string> removed;
  std::error_code error;
  const std::filesystem::path where = FsPath(ResolvePath(folder));
  std::filesystem::directory_iterator it(where, error);
  const long self = native::CurrentProcessId();
  for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
    const long writer = WriterOfTemporary(Utf8Of(it->path().filename()));
    if (writer <= 0 || writer == self) continue;
    // A writer that still lives may be another program's run busy with its file.
    if (native::ProcessRuns(writer)) continue;
    std::error_code removeError;
    if (std::filesystem::remove(it->path(), removeError)) removed.push_back(Utf8Of(it->path()));
  }
  return removed;
}

namespace {

// A target of ReplaceFilesTogether, with the new contents waiting beside it.
struct Staged {
  std::string target;  // the file itself, links followed
  std::string temp;    // "" for a file to be removed
};

void Discard(const std::vector<Staged>& staged) {
  for (const Staged& each : staged) {
    std::error_code ignored;
    if (!each.temp.empty()) std::filesystem::remove(FsPath(each.temp), ignored);
  }
}

// Where the replacement of path goes, or why it cannot. An existing target must be a
// file that may be written; its owner's protection counts for the superuser too.
std::optional<std::string> TargetOf(const std::string& path, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code code;
  const std::optional<std::string> target = files_internal::FollowLinks(ResolvePath(path), code);
  if (!target) {
    error = "cannot follow the link '" + path + "': " + code.message();
    return std::nullopt;
  }
  const fs::file_status status = fs::status(FsPath(*target), code);
  if (!fs::exists(status)) return target;
  if (!fs::is_regular_file(status)) {
    error = "'" + *target + "' is not a file";
    return std::nullopt;
  }
  constexpr fs::perms kWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  if ((status.permissions() & kWrite) == fs::perms::none) {
    error = "cannot replace '" + *target + "': the file is read-only";
    return std::nullopt;
  }
  return target;
}

}  // namespace

IoResult ReplaceFilesTogether(const std::vector<FileReplacement>& replacements) {
  namespace fs = std::filesystem;
  std::vector<Staged> staged;
  for (const FileReplacement& replacement : replacements) {
    std::string error;
    const std::optional<std::string> target = TargetOf(replacement.path, error);
    if (!target) {
      Discard(staged);
      return {false, error};
    }
    staged.push_back({*target, ""});
    if (!replacement.bytes) continue;
    const std::string temp = files_internal::TempNameBeside(*target);
    const IoResult written = WriteFileAtomically(temp, *replacement.bytes);
    if (!written) {
      Discard(staged);
      return {false, "cannot write beside '" + *target + "': " + written.error};
    }
    staged.back().temp = temp;
    std::error_code code;  // the new file keeps the old one's permissions when it can
    const fs::perms old = fs::status(FsPath(*target), code).permissions();
    if (!code && old != fs::perms::unknown) fs::permissions(FsPath(temp), old, code);
  }
  // Renames within one folder do not fail for want of space; should one fail all the
  // same, the files already renamed stay renamed and the report names the first that
  // was not.
  for (std::size_t i = 0; i < staged.size(); ++i) {
    std::string error;
    if (!staged[i].temp.empty() &&
        !files_internal::RenameOver(staged[i].temp, staged[i].target, error)) {
      Discard(std::vector<Staged>(staged.begin() + static_cast<std::ptrdiff_t>(i), staged.end()));
      return {false, error};
    }
  }
  for (const Staged& each : staged) {
    std::error_code code;
    if (each.temp.empty() && !fs::remove(FsPath(each.target), code) && code) {
      return {false, "cannot remove '" + each.target + "': " + code.message()};
    }
  }
  return {};
}

IoResult MakeFolder(std::string_view path) {
  std::error_code error;
  std::filesystem::create_directories(FsPath(path), error);
  if (error)
    return {false, "cannot make the folder '" + std::string(path) + "': " + error.message()};
  return {};
}

IoResult RemoveFolder(std::string_view path) {
  std::error_code error;
  std::filesystem::remove_all(FsPath(path), error);
  if (error) {
    return {false, "cannot remove the folder '" + std::string(path) + "': " + error.message()};
  }
  return {};
}

std::vector<std::string> SubfolderNames(std::string_view folder) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator it(FsPath(folder), error);
  for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
    std::error_code kind;
    if (it->is_directory(kind)) names.push_back(Utf8Of(it->path().filename()));
  }
  return names;
}

}  // namespace velnor
