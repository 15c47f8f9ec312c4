#pragma once
// --check: what a silent run would meet and what its OK would change, told before it
// happens. The preview is the silent run itself, made in a scratch copy of the project
// outside it, so that it comes true; the project is only read.
#include <iosfwd>

#include "app/run_state.h"

namespace velnor {

inline constexpr const char* kCheckOption = "--check";
inline constexpr const char* kCheckJsonOption = "--check --json";

// Prints the preview of the project's run, which names its component (text, or one JSON
// object when json), on out and returns the exit status the run would end with; err
// takes what keeps the preview from being made.
int CheckProject(const RunState& project, bool json, std::ostream& out, std::ostream& err);

}  // namespace velnor
