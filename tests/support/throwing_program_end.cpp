#include "support/throwing_program_end.h"

namespace velnor {

ThrowingProgramEnd::ThrowingProgramEnd() : previous_(SetProgramEnd(this)) {}

ThrowingProgramEnd::~ThrowingProgramEnd() {
  SetProgramEnd(previous_);
}

void ThrowingProgramEnd::End(int exitStatus) {
  throw ProgramEnded{exitStatus};
}

}  // namespace velnor
