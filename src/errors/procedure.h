#pragma once
// The failure convention every procedure follows: it names itself, runs its steps
// guarded, and a failing step goes to ErrorSub under the procedure's name. On "end"
// the program ends; on "continue" the procedure goes on with its next step, and a
// function returns whatever its result held.
//
//   std::string GetCFGPath() {
//     Procedure proc("GetCFGPath");
//     std::string path;
//     proc.Step([&] { path = ...; });
//     return path;
//   }
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "errors/error_report.h"
#include "errors/failure.h"

namespace velnor {

class Procedure {
 public:
  explicit Procedure(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }

  // Runs one step. Returns true when it went through, false when it failed and the
  // report decided to continue.
  template <class StepFn>
  bool Step(StepFn&& step) {
    try {
      std::forward<StepFn>(step)();
      return true;
    } catch (const Failure& failure) {
      Report(failure);
    } catch (const std::bad_alloc&) {
      Report(Failure(failure_number::kOutOfMemory, ProgramSource(), "Out of memory"));
    } catch (const std::exception& error) {
      Report(Failure(failure_number::kInternalError, ProgramSource(), error.what()));
    }
    return false;
  }

  // Hands a failure to ErrorSub under this procedure's name and honours the decision:
  // the one place where "end" is carried out.
  void Report(const Failure& failure, bool fatal = false) const;

 private:
  std::string name_;
};

}  // namespace velnor
