#pragma once
// What tests ask of the operating system, the same on every system they run on.
#include <string>

namespace velnor::test {

void SetEnvironment(const std::string& name, const std::string& value);
void UnsetEnvironment(const std::string& name);

// True where a file's permission bits keep this process from reading or writing it:
// not for the superuser, and not on Windows, which has access lists instead.
bool PermissionBitsBind();

long ThisProcessId();

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
