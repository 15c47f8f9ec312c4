#include "platform/program_end.h"

#include <cstdio>
#include <cstdlib>

namespace velnor {
namespace {
// Ending the program ends the whole process, wherever it is asked for.
ProgramEnd* installed = nullptr;
}  // namespace

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

}  // namespace velnor
