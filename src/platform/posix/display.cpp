#include "platform/display.h"

namespace velnor {

// A platform named in QT_QPA_PLATFORM other than the X and Wayland ones (offscreen,
// minimal, vnc, eglfs, ...) needs no display variable and is trusted. macOS shows its
// windows without a display server.
bool NoDisplayForTheWindow(const EnvironmentLookup& variable) {
#ifdef __APPLE__
  (void)variable;
  return false;
#else
  const auto set = [&](const char* name) { return !variable(name).value_or("").empty(); };
  const std::string platform = variable("QT_QPA_PLATFORM").value_or("");
  const bool x11 = set("DISPLAY");
  const bool wayland = set("WAYLAND_DISPLAY");
  if (platform.empty()) return !x11 && !wayland;
  if (platform.rfind("xcb", 0) == 0) return !x11;
  if (platform.rfind("wayland", 0) == 0) return !wayland;
  return false;
#endif
}

}  // namespace velnor
