#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/encoding.h"
#include "platform/file_version.h"
#include "platform/files_internal.h"
#include "platform/paths.h"

namespace velnor {
namespace {

IoResult Failed(std::string_view what, std::string_view path, int error) {
  return {false, std::string(what) + " '" + std::string(path) + "': " + std::strerror(error)};
}

// The null device takes every line and keeps none, as a log a user switched off.
bool IsNullDevice(const struct stat& info) {
  struct stat null {};
  return S_ISCHR(info.st_mode) && ::stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) &&
         info.st_rdev == null.st_rdev;
}

const char* KindOf(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return "a folder";
  if (S_ISFIFO(info.st_mode)) return "a FIFO";
  if (S_ISSOCK(info.st_mode)) return "a socket";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "a device";
  return "of another kind";
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

// A new file beside the target, written through fill and renamed over the target. It
// gets the mode of the file it replaces.
class PosixReplacement final : public files_internal::Replacement {
 public:
  explicit PosixReplacement(std::function<IoResult(int fd)> fill) : fill_(std::move(fill)) {}

  Existing Examine(const std::string& target) override {
    hadFile_ = ::stat(target.c_str(), &existing_) == 0;
    // The mode bits count for the superuser too, whom access() lets write.
    return {hadFile_, hadFile_ && S_ISREG(existing_.st_mode),
            hadFile_ && ((existing_.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)};
  }

  IoResult Write(const std::string& temp, const std::string& target) override {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          hadFile_ ? (existing_.st_mode & 07777) : 0644);
    if (fd < 0) return Failed("cannot write beside", target, errno);
    IoResult filled = fill_(fd);
    if (filled && ::fsync(fd) != 0) filled = Failed("cannot write", temp, errno);
    ::close(fd);
    if (!filled) {
      Remove(temp);
      return filled;
    }
    if (hadFile_) ::chmod(temp.c_str(), existing_.st_mode & 07777);  // umask may have narrowed it
    return {};
  }

  IoResult MoveOver(const std::string& temp, const std::string& target) override {
    if (::rename(temp.c_str(), target.c_str()) != 0) return Failed("cannot replace", target, errno);
    return {};
  }

  void Remove(const std::string& temp) override { ::unlink(temp.c_str()); }

 private:
  std::function<IoResult(int fd)> fill_;
  struct stat existing_ {};
  bool hadFile_ = false;
};

IoResult ReplaceAtomically(std::string_view path, std::function<IoResult(int fd)> fill) {
  PosixReplacement replacement(std::move(fill));
  return files_internal::ReplaceAtomically(path, replacement);
}

}  // namespace

namespace files_internal {

bool RenameOver(const std::string& from, const std::string& to, std::string& error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  error = Failed("cannot replace", to, errno).error;
  return false;
}

}  // namespace files_internal

IoResult AppendLine(std::string_view path, std::string_view text) {
  const std::string resolved = ResolvePath(path);
  // A FIFO without a reader, a terminal or a file someone holds a lease on would keep
  // open() waiting, and the run with it, holding its component's lock: nothing here
  // waits. What was opened is then judged by the descriptor itself, so that no other
  // file can be put in the path's place between the check and the write.
  const int fd = ::open(resolved.c_str(),
                        O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
  if (fd < 0) {
    const int error = errno;
    struct stat info {};
    if (::stat(resolved.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
      return files_internal::NotARegularFile(resolved, KindOf(info));
    }
    return Failed("cannot open for appending", resolved, error);
  }
  struct stat opened {};
  if (::fstat(fd, &opened) != 0) {
    const int error = errno;
    ::close(fd);
    return Failed("cannot examine", resolved, error);
  }
  if (!S_ISREG(opened.st_mode) && !IsNullDevice(opened)) {
    ::close(fd);
    return files_internal::NotARegularFile(resolved, KindOf(opened));
  }
  const bool ok = WriteAll(fd, Utf8ToCp1252(text) + "\r\n");
  const int error = errno;
  ::close(fd);
  return ok ? IoResult{} : Failed("cannot append to", resolved, error);
}

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

std::optional<FileTime> LastWriteTime(std::string_view path) {
  struct stat info {};
  if (::stat(ResolvePath(path).c_str(), &info) != 0) return std::nullopt;
  return FileTime(std::chrono::seconds(info.st_mtim.tv_sec) +
                  std::chrono::nanoseconds(info.st_mtim.tv_nsec));
}

IoResult SetLastWriteTime(std::string_view path, FileTime when) {
  const std::string resolved = ResolvePath(path);
  const auto sinceEpoch = when.time_since_epoch();
  const auto seconds = std::chrono::floor<std::chrono::seconds>(sinceEpoch);
  const timespec times[2] = {
      {0, UTIME_OMIT},
      {static_cast<time_t>(seconds.count()), static_cast<long>((sinceEpoch - seconds).count())}};
  if (::utimensat(AT_FDCWD, resolved.c_str(), times, 0) != 0) {
    return Failed("cannot set the last-write time of", resolved, errno);
  }
  return {};
}

std::optional<FileVersion> VersionOfFile(std::string_view path) {
  if (path.empty()) return std::nullopt;
  struct stat info {};
  if (::stat(ResolvePath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  const auto timeOf = [](const timespec& time) {
    return FileTime(std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec));
  };
  return FileVersion{
      static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
      static_cast<std::uint64_t>(info.st_size), timeOf(info.st_mtim), timeOf(info.st_ctim)};
}

}  // namespace velnor
