#pragma once
// An end of program that throws ProgramEnded instead of ending the test's process;
// installs itself while alive.
#include "platform/program_end.h"

namespace velnor {

class ThrowingProgramEnd : public ProgramEnd {
 public:
  ThrowingProgramEnd();
  ~ThrowingProgramEnd() override;
  ThrowingProgramEnd(const ThrowingProgramEnd&) = delete;
  ThrowingProgramEnd& operator=(const ThrowingProgramEnd&) = delete;
  [[noreturn]] void End(int exitStatus) override;

 private:
  ProgramEnd* previous_;
};

}  // namespace velnor
