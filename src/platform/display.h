#pragma once
// Whether a window can be shown at all, asked before the window toolkit starts.
#include <functional>
#include <optional>
#include <string>

#include "platform/process.h"

namespace velnor {

using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Whether the window toolkit would find no display to show the window on, by the
// environment that variable looks up. Where windows need a display server named in the
// environment (X, Wayland), a missing one ends the toolkit's start with an abort that
// must not pass for the program's own end; elsewhere there is always a display.
bool NoDisplayForTheWindow(const EnvironmentLookup& variable = EnvironmentVariable);

}  // namespace velnor
