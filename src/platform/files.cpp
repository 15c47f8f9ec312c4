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

std::string TempNameBeside(const std::string& target) {
  // One generator for the process: names only need to differ from each other.
  static std::mt19937 random{std::random_device{}()};
  return target + std::string(kTempMarker) + std::to_string(native::CurrentProcessId()) + "." +
         std::to_string(random() % 1000000);
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

std::optional<std::string> CreateTemporaryFolder(std::string_view prefix) {
  static std::mt19937 random{std::random_device{}()};
  std::error_code error;
  const std::filesystem::path where = std::filesystem::temp_directory_path(error);
  if (error) return std::nullopt;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path folder =
        where / FsPath(std::string(prefix) + std::to_string(native::CurrentProcessId()) + "-" +
                       std::to_string(random() % 1000000));
    if (std::filesystem::create_directory(folder, error)) return Utf8Of(folder);
    if (error) return std::nullopt;
  }
  return std::nullopt;
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

}  // namespace velnor
