#include "platform/kept_original.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"

namespace velnor {
namespace {

constexpr int kMostNumbers = 1000;

// Copies into a file that must not exist yet; false with errno set on failure.
bool CopyExclusively(const std::string& from, const std::string& to) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (out < 0) {
    const int error = errno;
    ::close(in);
    errno = error;
    return false;
  }
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      ok = got == 0;
      break;
    }
    for (ssize_t done = 0; done < got;) {
      const ssize_t written = ::write(out, buffer + done, static_cast<std::size_t>(got - done));
      if (written < 0 && errno == EINTR) continue;
      if (written < 0) {
        ok = false;
        break;
      }
      done += written;
    }
    if (!ok) break;
  }
  ok = ok && ::fsync(out) == 0;
  const int error = errno;
  ::close(in);
  ::close(out);
  if (!ok) {
    ::unlink(to.c_str());
    errno = error;
  }
  return ok;
}

}  // namespace

KeptOriginal KeepOriginalBeside(std::string_view path, std::string_view suffix) {
  const std::string original = ResolvePath(path);
  for (int number = 1; number <= kMostNumbers; ++number) {
    const std::string candidate =
        original + (number == 1 ? "" : "." + std::to_string(number)) + std::string(suffix);
    // A second name for the same file costs nothing and cannot overwrite: the link
    // fails on a name that is taken. Where links are not possible, an exclusive copy.
    if (::linkat(AT_FDCWD, original.c_str(), AT_FDCWD, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      return {true, candidate, ""};
    }
    if (errno == EEXIST) continue;
    if (errno == EPERM || errno == EXDEV || errno == EOPNOTSUPP || errno == EMLINK) {
      if (CopyExclusively(original, candidate)) return {true, candidate, ""};
      if (errno == EEXIST) continue;
    }
    return {false, "",
            "cannot keep '" + original + "' as '" + candidate + "': " + std::strerror(errno)};
  }
  return {false, "", "cannot keep '" + original + "': every numbered name is taken"};
}

}  // namespace velnor
