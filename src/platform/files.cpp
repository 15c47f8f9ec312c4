#include "platform/files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/encoding.h"
#include "platform/paths.h"

namespace velnor {
namespace {

IoResult Failed(std::string_view what, std::string_view path, int error) {
  return {false, std::string(what) + " '" + std::string(path) + "': " + std::strerror(error)};
}

bool WriteAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

// "<target>.velnor-tmp.<pid>.<n>": a later run recognises the files of a run that was
// killed while writing, and by the process number whether that run still lives.
constexpr std::string_view kTempMarker = ".velnor-tmp.";

std::string TempNameBeside(const std::string& target) {
  // One generator for the process: names only need to differ from each other.
  static std::mt19937 random{std::random_device{}()};
  return target + std::string(kTempMarker) + std::to_string(::getpid()) + "." +
         std::to_string(random() % 1000000);
}

// The process number of a temporary file's name, or 0 when the name is none of ours.
pid_t WriterOfTemporary(std::string_view name) {
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
  return static_cast<pid_t>(std::stol(std::string(digits)));
}

}  // namespace

std::optional<std::string> ReadFileBytes(std::string_view path) {
  if (!FileExists(path)) return std::nullopt;
  std::ifstream in(ResolvePath(path), std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

IoResult AppendLine(std::string_view path, std::string_view text) {
  const std::string resolved = ResolvePath(path);
  const int fd = ::open(resolved.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return Failed("cannot open for appending", resolved, errno);
  const bool ok = WriteAll(fd, Utf8ToCp1252(text) + "\r\n");
  const int error = errno;
  ::close(fd);
  return ok ? IoResult{} : Failed("cannot append to", resolved, error);
}

namespace {

// As many links in a row as the system itself follows before it calls them a loop.
constexpr int kMaxLinksFollowed = 40;

// The file a symbolic link at path finally leads to (path itself when it is no link);
// that file need not exist. Nothing, with error set, when a link cannot be read or the
// links go round in a loop.
std::optional<std::string> FollowLinks(std::string path, std::error_code& error) {
  namespace fs = std::filesystem;
  for (int followed = 0; followed < kMaxLinksFollowed; ++followed) {
    if (!fs::is_symlink(fs::symlink_status(path, error))) {
      error.clear();  // a missing or unreadable entry is for the write itself to report
      return path;
    }
    const fs::path destination = fs::read_symlink(path, error);
    if (error) return std::nullopt;
    // A relative destination counts from the link's own folder.
    path = (fs::path(path).parent_path() / destination).string();
  }
  error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  return std::nullopt;
}

// Writes a new file beside target through fill, flushes it and renames it over target.
template <class Fill>
IoResult ReplaceAtomically(std::string_view path, Fill&& fill) {
  const std::string resolved = ResolvePath(path);
  // Renaming over a symbolic link would put a file in its place and leave what it leads
  // to unchanged; the file it leads to is replaced instead, and the link stays. A link
  // that leads nowhere yet creates its file, like any missing file.
  std::error_code linkError;
  const std::optional<std::string> followed = FollowLinks(resolved, linkError);
  if (!followed) return Failed("cannot follow the link", resolved, linkError.value());
  const std::string& target = *followed;
  struct stat existing {};
  const bool hadFile = ::stat(target.c_str(), &existing) == 0;
  if (hadFile && !S_ISREG(existing.st_mode)) return {false, "'" + target + "' is not a file"};
  // A file made read-only is kept from being changed, and renaming over it would change it
  // all the same. Its mode bits count for the superuser too, whom access() lets write.
  if (hadFile && ((existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
    return {false, "cannot replace '" + target + "': the file is read-only"};
  }

  const std::string temp = TempNameBeside(target);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        hadFile ? (existing.st_mode & 07777) : 0644);
  if (fd < 0) return Failed("cannot write beside", target, errno);
  IoResult filled = fill(fd);
  if (filled && ::fsync(fd) != 0) filled = Failed("cannot write", temp, errno);
  ::close(fd);
  if (!filled) {
    ::unlink(temp.c_str());
    return filled;
  }
  if (hadFile) ::chmod(temp.c_str(), existing.st_mode & 07777);  // umask may have narrowed it
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    return Failed("cannot replace", target, error);
  }
  return {};
}

}  // namespace

IoResult WriteFileAtomically(std::string_view path, std::string_view bytes) {
  return ReplaceAtomically(path, [&](int fd) {
    return WriteAll(fd, bytes) ? IoResult{} : Failed("cannot write beside", path, errno);
  });
}

IoResult CopyFileAtomically(std::string_view source, std::string_view target) {
  const std::string from = ResolvePath(source);
  const int in = FileExists(from) ? ::open(from.c_str(), O_RDONLY | O_CLOEXEC) : -1;
  if (in < 0) return {false, "cannot read '" + from + "'"};
  IoResult result = ReplaceAtomically(target, [&](int out) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
      const ssize_t got = ::read(in, buffer.data(), buffer.size());
      if (got == 0) return IoResult{};
      if (got < 0) {
        if (errno == EINTR) continue;
        return Failed("cannot read", from, errno);
      }
      if (!WriteAll(out, std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
        return Failed("cannot write beside", target, errno);
      }
    }
  });
  ::close(in);
  if (!result)
    result.error = "copying '" + from + "' over '" + ResolvePath(target) + "': " + result.error;
  return result;
}

std::vector<std::string> RemoveLeftoverTemporaries(std::string_view folder) {
  std::vector<std::string> removed;
  std::error_code error;
  const std::filesystem::path where(ResolvePath(folder));
  std::filesystem::directory_iterator it(where, error);
  for (const std::filesystem::directory_iterator end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    const pid_t writer = WriterOfTemporary(name);
    if (writer <= 0 || writer == ::getpid()) continue;
    // A writer that still lives may be another program's run busy with its file.
    if (::kill(writer, 0) == 0 || errno != ESRCH) continue;
    if (::unlink(it->path().c_str()) == 0) removed.push_back(it->path().string());
  }
  return removed;
}

std::optional<timespec> LastWriteTime(std::string_view path) {
  struct stat info {};
  if (::stat(ResolvePath(path).c_str(), &info) != 0) return std::nullopt;
  return info.st_mtim;
}

IoResult SetLastWriteTime(std::string_view path, const timespec& when) {
  const std::string resolved = ResolvePath(path);
  const timespec times[2] = {{0, UTIME_OMIT}, when};
  if (::utimensat(AT_FDCWD, resolved.c_str(), times, 0) != 0) {
    return Failed("cannot set the last-write time of", resolved, errno);
  }
  return {};
}

}  // namespace velnor
