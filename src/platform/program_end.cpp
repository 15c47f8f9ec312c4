#include "platform/program_end.h"

#include <cstdio>
#include <cstdlib>

namespace velnor {
namespace {
ProgramEnd* installed = nullptr;
}

void EndProcess(int exitStatus) {
  if (installed != nullptr) installed->End(exitStatus);
  std::fflush(nullptr);
  std::exit(exitStatus);
}

ProgramEnd* SetProgramEnd(ProgramEnd* end) {
  ProgramEnd* previous = installed;
  installed = end;
  return previous;
}

ThrowingProgramEnd::ThrowingProgramEnd() : previous_(SetProgramEnd(this)) {}

ThrowingProgramEnd::~ThrowingProgramEnd() {
  SetProgramEnd(previous_);
}

void ThrowingProgramEnd::End(int exitStatus) {
  throw ProgramEnded{exitStatus};
}

}  // namespace velnor
