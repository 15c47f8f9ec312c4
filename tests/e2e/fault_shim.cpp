// velnor_fault_shim: loaded into the tool with LD_PRELOAD, it fails one chosen call of
// writing a regular file, flushing one or renaming one, as a full or failing disk
// would (a folder's flush, which SQLite does not count on, is left alone).
// VELNOR_FAULT="write:N" (or "fsync:N", "rename:N") fails the Nth such call with
// EIO; N = 0 fails none. At the end of the process, and when the fault fires, a line
// goes to the file that VELNOR_FAULT_REPORT names: "fired" and "calls <kind> <count>".
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum Kind { kWrite, kFsync, kRename, kNone };

struct Fault {
  Kind kind = kNone;
  long at = 0;
  std::atomic<long> calls{0};
};

Fault& TheFault() {
  static Fault fault;
  static const bool read = [] {
    const char* chosen = std::getenv("VELNOR_FAULT");
    const char* colon = chosen != nullptr ? std::strchr(chosen, ':') : nullptr;
    if (colon == nullptr) return true;
    const std::size_t length = static_cast<std::size_t>(colon - chosen);
    if (std::strncmp(chosen, "write", length) == 0) fault.kind = kWrite;
    if (std::strncmp(chosen, "fsync", length) == 0) fault.kind = kFsync;
    if (std::strncmp(chosen, "rename", length) == 0) fault.kind = kRename;
    fault.at = std::atol(colon + 1);
    return true;
  }();
  (void)read;
  return fault;
}

template <class Fn>
Fn Next(const char* name) {
  return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

void Report(const char* line) {
  const char* path = std::getenv("VELNOR_FAULT_REPORT");
  if (path == nullptr) return;
  static auto realWrite = Next<ssize_t (*)(int, const void*, size_t)>("write");
  const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  realWrite(fd, line, std::strlen(line));
  ::close(fd);
}

bool IsRegularFile(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// Counts a call of kind and tells whether it is the one to fail.
bool Fails(Kind kind) {
  Fault& fault = TheFault();
  if (fault.kind != kind) return false;
  const long number = ++fault.calls;
  if (number != fault.at) return false;
  Report("fired\n");
  errno = EIO;
  return true;
}

struct AtEnd {
  ~AtEnd() {
    const Fault& fault = TheFault();
    if (fault.kind == kNone) return;
    char line[64];
    std::snprintf(line, sizeof line, "calls %ld\n", fault.calls.load());
    Report(line);
  }
} atEnd;

}  // namespace

extern "C" {

ssize_t write(int fd, const void* data, size_t size) {
  static auto real = Next<ssize_t (*)(int, const void*, size_t)>("write");
  if (IsRegularFile(fd) && Fails(kWrite)) return -1;
  return real(fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
  static auto real = Next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  if (IsRegularFile(fd) && Fails(kWrite)) return -1;
  return real(fd, data, size, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off64_t offset) {
  static auto real = Next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
  if (IsRegularFile(fd) && Fails(kWrite)) return -1;
  return real(fd, data, size, offset);
}

int fsync(int fd) {
  static auto real = Next<int (*)(int)>("fsync");
  if (IsRegularFile(fd) && Fails(kFsync)) return -1;
  return real(fd);
}

int fdatasync(int fd) {
  static auto real = Next<int (*)(int)>("fdatasync");
  if (IsRegularFile(fd) && Fails(kFsync)) return -1;
  return real(fd);
}

int rename(const char* from, const char* to) {
  static auto real = Next<int (*)(const char*, const char*)>("rename");
  if (Fails(kRename)) return -1;
  return real(from, to);
}

}  // extern "C"
