#pragma once
// The window's texts per language, from the language file next to the executable,
// which grows by every text asked for and not found.
#include <array>
#include <string>

#include "settings/controls.h"

namespace velnor {

// Help texts by help id: entry id - 1.
extern std::array<std::string, 100> HelpTexts;

// The language file: executable folder + base name + ".ini".
std::string LanguageFilePath();

// The current language code; "1031" is written and returned when none is set.
std::string GetLanguage();

// Applies the language file to every control and fills HelpTexts.
void LoadToolTipTexts(const ControlList& controls);

}  // namespace velnor
