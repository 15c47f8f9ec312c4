#pragma once
// What tests ask of the operating system, the same on every system they run on.
#include <filesystem>
#include <string>

namespace velnor::test {

// Names and values in UTF-8.
void SetEnvironment(const std::string& name, const std::string& value);
void UnsetEnvironment(const std::string& name);

// Puts a hidden per-drive entry ("=Q:=Q:\") into this process's environment, as the
// command shell of Windows keeps them; false on systems that have no such entries.
bool AddHiddenDriveEntry();

// True where a file's permission bits keep this process from reading or writing it:
// not for the superuser, and not on Windows, which has access lists instead.
bool PermissionBitsBind();

long ThisProcessId();

// A new, empty folder in the system's temporary folder whose name starts with prefix;
// "" when none could be made.
std::filesystem::path NewTemporaryFolder(const std::string& prefix);

// The number of a process that has ended.
long EndedProcessId();

// Another process that runs as long as this object lives.
class RunningProcess {
 public:
  RunningProcess();
  ~RunningProcess();
  RunningProcess(const RunningProcess&) = delete;
  RunningProcess& operator=(const RunningProcess&) = delete;
  long id() const { return id_; }

 private:
  long id_ = 0;
  void* handle_ = nullptr;
};

}  // namespace velnor::test
