#include "platform/paths.h"

namespace velnor {

const char kPathSeparator = '\\';

}  // namespace velnor
