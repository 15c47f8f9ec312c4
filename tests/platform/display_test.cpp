#include "platform/display.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/paths.h"

namespace velnor {
namespace {

TEST(Display, AWindowNeedsTheDisplayServerItsPlatformNames) {
  const struct {
    std::map<std::string, std::string> environment;
    bool noDisplay;  // where windows need a display server (X, Wayland)
  } cases[] = {
      {{}, true},
      {{{"DISPLAY", ":0"}}, false},
      {{{"WAYLAND_DISPLAY", "wayland-0"}}, false},
      {{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, true},
      {{{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}, true},
      {{{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ":1"}}, false},
      {{{"QT_QPA_PLATFORM", "wayland-egl"}, {"DISPLAY", ":0"}}, true},
      {{{"QT_QPA_PLATFORM", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}}, false},
      {{{"QT_QPA_PLATFORM", "offscreen"}}, false},
      {{{"QT_QPA_PLATFORM", "vnc:size=800x600"}}, false},
  };
  // Windows has a display in every desktop session.
  const bool displayServers = kPathSeparator == '/';
  for (const auto& c : cases) {
    const auto variable = [&](const std::string& name) -> std::optional<std::string> {
      const auto found = c.environment.find(name);
      if (found == c.environment.end()) return std::nullopt;
      return found->second;
    };
    EXPECT_EQ(NoDisplayForTheWindow(variable), displayServers && c.noDisplay)
        << testing::PrintToString(c.environment);
  }
}

}  // namespace
}  // namespace velnor
