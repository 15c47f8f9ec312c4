#pragma once
// The help texts of the "?" button's help mode: while it is on, OK and Cancel show
// their help texts instead of acting, and clicks on cells and tabs are ignored.
#include <string>

#include "settings/controls.h"
#include "settings/language.h"

namespace velnor {

// The help text of a control with every "<CRLF>" (any case) turned into a line break.
std::string HelpTextOf(const Control& control, const HelpTextTable& helpTexts);

// Shows the control's help text in a box titled "Info:".
void ShowHelpText(const Control& control, const HelpTextTable& helpTexts);

}  // namespace velnor
