#include "platform/files.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <iterator>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/encoding.h"
#include "platform/file_version.h"
#include "platform/files_internal.h"
#include "platform/paths.h"
#include "platform/windows/wide.h"

namespace velnor {
namespace {

IoResult Failed(std::string_view what, std::string_view path, DWORD error) {
  return {false, std::string(what) + " '" + std::string(path) + "': " + windows::ErrorText(error)};
}

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  void Close() {
    if (valid()) ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
  }

 private:
  HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

// The null device takes every line and keeps none, as a log a user switched off. "NUL"
// in any folder leads to it; Windows' own path rules tell so.
bool IsNullDevice(const std::wstring& path, DWORD type) {
  if (type != FILE_TYPE_CHAR) return false;
  wchar_t full[16];
  const DWORD length = ::GetFullPathNameW(path.c_str(), std::size(full), full, nullptr);
  return length > 0 && length < std::size(full) &&
         ::CompareStringOrdinal(full, static_cast<int>(length), L"\\\\.\\NUL", -1, TRUE) ==
             CSTR_EQUAL;
}

// A new file beside the target, written through fill and moved over the target.
class WindowsReplacement final : public files_internal::Replacement {
 public:
  explicit WindowsReplacement(std::function<IoResult(HANDLE file)> fill) : fill_(std::move(fill)) {}

  Existing Examine(const std::string& target) override {
    const DWORD attributes = ::GetFileAttributesW(windows::Widen(target).c_str());
    const bool present = attributes != INVALID_FILE_ATTRIBUTES;
    return {present, present && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0,
            present && (attributes & FILE_ATTRIBUTE_READONLY) != 0};
  }

  IoResult Write(const std::string& temp, const std::string& target) override {
    Handle file(::CreateFileW(windows::Widen(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return Failed("cannot write beside", target, ::GetLastError());
    IoResult filled = fill_(file.get());
    if (filled && !::FlushFileBuffers(file.get())) {
      filled = Failed("cannot write beside", target, ::GetLastError());
    }
    file.Close();
    if (!filled) Remove(temp);
    return filled;
  }

  IoResult MoveOver(const std::string& temp, const std::string& target) override {
    if (!::MoveFileExW(windows::Widen(temp).c_str(), windows::Widen(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return Failed("cannot replace", target, ::GetLastError());
    }
    return {};
  }

  void Remove(const std::string& temp) override { ::DeleteFileW(windows::Widen(temp).c_str()); }

 private:
  std::function<IoResult(HANDLE file)> fill_;
};

IoResult ReplaceAtomically(std::string_view path, std::function<IoResult(HANDLE file)> fill) {
  WindowsReplacement replacement(std::move(fill));
  return files_internal::ReplaceAtomically(path, replacement);
}

// FILETIME counts 100-nanosecond ticks from 1601; FileTime counts from 1970.
constexpr std::int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;

FileTime FromFileTime(const FILETIME& time) {
  const std::int64_t ticks =
      static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                time.dwLowDateTime) -
      kTicksFrom1601To1970;
  return FileTime(std::chrono::nanoseconds(ticks * 100));
}

FILETIME ToFileTime(FileTime when) {
  const std::uint64_t ticks =
      static_cast<std::uint64_t>(when.time_since_epoch().count() / 100 + kTicksFrom1601To1970);
  return {static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

}  // namespace

namespace files_internal {

bool RenameOver(const std::string& from, const std::string& to, std::string& error) {
  if (::MoveFileExW(windows::Widen(from).c_str(), windows::Widen(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  error = Failed("cannot replace", to, ::GetLastError()).error;
  return false;
}

}  // namespace files_internal

IoResult AppendLine(std::string_view path, std::string_view text) {
  const std::string resolved = ResolvePath(path);
  const std::wstring wide = windows::Widen(resolved);
  // Append access alone makes every write land at the end, even with other writers.
  Handle file(::CreateFileW(wide.c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return files_internal::NotARegularFile(resolved, "a folder");
    }
    return Failed("cannot open for appending", resolved, error);
  }
  // A pipe or a console could keep the write waiting, and the run with it, holding its
  // component's lock; only a file on a disk, or the null device, takes the line. The
  // handle itself is judged, so that nothing can take the path's place in between.
  const DWORD type = ::GetFileType(file.get());
  if (type != FILE_TYPE_DISK && !IsNullDevice(wide, type)) {
    return files_internal::NotARegularFile(resolved, type == FILE_TYPE_PIPE   ? "a pipe"
                                                     : type == FILE_TYPE_CHAR ? "a device"
                                                                              : "of another kind");
  }
  if (!WriteAll(file.get(), Utf8ToCp1252(text) + "\r\n")) {
    return Failed("cannot append to", resolved, ::GetLastError());
  }
  return {};
}

IoResult WriteFileAtomically(std::string_view path, std::string_view bytes) {
  return ReplaceAtomically(path, [&](HANDLE file) {
    return WriteAll(file, bytes) ? IoResult{}
                                 : Failed("cannot write beside", path, ::GetLastError());
  });
}

IoResult CopyFileAtomically(std::string_view source, std::string_view target) {
  const std::string from = ResolvePath(source);
  Handle in(FileExists(from)
                ? ::CreateFileW(windows::Widen(from).c_str(), GENERIC_READ, kShareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)
                : INVALID_HANDLE_VALUE);
  if (!in.valid()) return {false, "cannot read '" + from + "'"};
  IoResult result = ReplaceAtomically(target, [&](HANDLE out) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
      DWORD got = 0;
      if (!::ReadFile(in.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
        return Failed("cannot read", from, ::GetLastError());
      }
      if (got == 0) return IoResult{};
      if (!WriteAll(out, std::string_view(buffer.data(), got))) {
        return Failed("cannot write beside", target, ::GetLastError());
      }
    }
  });
  if (!result)
    result.error = "copying '" + from + "' over '" + ResolvePath(target) + "': " + result.error;
  return result;
}

std::optional<FileTime> LastWriteTime(std::string_view path) {
  Handle file(::CreateFileW(windows::Widen(ResolvePath(path)).c_str(), FILE_READ_ATTRIBUTES,
                            kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                            nullptr));
  FILETIME written{};
  if (!file.valid() || !::GetFileTime(file.get(), nullptr, nullptr, &written)) {
    return std::nullopt;
  }
  return FromFileTime(written);
}

IoResult SetLastWriteTime(std::string_view path, FileTime when) {
  const std::string resolved = ResolvePath(path);
  Handle file(::CreateFileW(windows::Widen(resolved).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const FILETIME written = ToFileTime(when);
  if (!file.valid() || !::SetFileTime(file.get(), nullptr, nullptr, &written)) {
    return Failed("cannot set the last-write time of", resolved, ::GetLastError());
  }
  return {};
}

std::optional<FileVersion> VersionOfFile(std::string_view path) {
  if (path.empty()) return std::nullopt;
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open.
  Handle file(::CreateFileW(windows::Widen(ResolvePath(path)).c_str(), FILE_READ_ATTRIBUTES,
                            kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.valid() || ::GetFileType(file.get()) != FILE_TYPE_DISK ||
      !::GetFileInformationByHandle(file.get(), &info)) {
    return std::nullopt;
  }
  const auto join = [](DWORD high, DWORD low) {
    return static_cast<std::uint64_t>(high) << 32 | low;
  };
  const FileTime written = FromFileTime(info.ftLastWriteTime);
  // The change time, which no one can set back, comes with the basic information; where
  // the file system keeps none, the last-write time stands for it.
  FileTime changed = written;
  FILE_BASIC_INFO basic{};
  if (::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic) &&
      basic.ChangeTime.QuadPart != 0) {
    FILETIME changeTime{};
    changeTime.dwLowDateTime = static_cast<DWORD>(basic.ChangeTime.QuadPart & 0xffffffffu);
    changeTime.dwHighDateTime = static_cast<DWORD>(basic.ChangeTime.QuadPart >> 32);
    changed = FromFileTime(changeTime);
  }
  return FileVersion{info.dwVolumeSerialNumber, join(info.nFileIndexHigh, info.nFileIndexLow),
                     join(info.nFileSizeHigh, info.nFileSizeLow), written, changed};
}

}  // namespace velnor
