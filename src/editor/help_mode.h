#pragma once
// The help mode of the "?" button: while it is on, OK and Cancel show their help
// texts instead of acting, and clicks on cells and tabs are ignored.
#include <string>

#include "settings/controls.h"

namespace velnor {

// True while the help mode is on; switched only by the "?" button.
extern bool HelpMode;

// The help text of a control with every "<CRLF>" (any case) turned into a line break.
std::string HelpTextOf(const Control& control);

// In help mode shows the control's help text in a box titled "Info:"; otherwise
// nothing.
void ShowHelpText(const Control& control);

}  // namespace velnor
