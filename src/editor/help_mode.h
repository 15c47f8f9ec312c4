#pragma once
// The help texts of the "?" button's help mode: while it is on, OK and Cancel show
// their help texts instead of acting, and clicks on cells and tabs are ignored.
#include <string>

#include "settings/controls.h"
#include "settings/language.h"

namespace velnor {

// The help texts built into the window, in its design language, for OK (help id 1) and
// Cancel (2): they stand wherever the language file holds no translation, that is ""
// or the placeholder "0" it keeps for translators.
HelpTextTable WithBuiltInHelp(HelpTextTable helpTexts);

// The built-in tool tips of OK, Cancel and "?"; a translation replaces them.
inline constexpr const char* kToolTipOK = "Übernehmen und beenden";
inline constexpr const char* kToolTipCancel = "Abbrechen ohne zu speichern";
inline constexpr const char* kToolTipQuest = "Hilfe: OK und Abbrechen zeigen dann ihre Hilfe an";

// The help text of a control with every "<CRLF>" (any case) turned into a line break.
std::string HelpTextOf(const Control& control, const HelpTextTable& helpTexts);

// Shows the control's help text in a box titled "Info:".
void ShowHelpText(const Control& control, const HelpTextTable& helpTexts);

}  // namespace velnor
