#include "errors/procedure.h"

namespace velnor {

void Procedure::Report(const Failure& failure, bool fatal) const {
  const int decision =
      ErrorSub(failure.number(), failure.source(), failure.description(), name_, fatal);
  if (decision == kDecisionEnd) EndProgram();
}

}  // namespace velnor
