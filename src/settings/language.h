#pragma once
// The window's texts per language, from the language file next to the executable,
// which grows by every text asked for and not found.
#include <array>
#include <string>

#include "settings/controls.h"
#include "settings/profile.h"

namespace velnor {

// Help texts by help id: entry id - 1.
using HelpTextTable = std::array<std::string, 100>;

// The language file: executable folder + base name + ".ini".
std::string LanguageFilePath(const std::string& executableFolder,
                             const std::string& executableBaseName);

// The current language code; "1031" is written and returned when none is set.
std::string GetLanguage(const std::string& languageFile);

// Applies the language file to every control and returns the help texts it holds for
// them. The texts it gains are written as SaveIniEntries writes, asking beforeWriting.
HelpTextTable LoadToolTipTexts(const ControlList& controls, const std::string& languageFile,
                               const BeforeReplacing& beforeWriting = {});

}  // namespace velnor
