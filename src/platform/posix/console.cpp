#include "platform/console.h"

namespace velnor {

// A POSIX program always has the standard streams its parent gave it.
void AttachToParentConsole() {}

}  // namespace velnor
