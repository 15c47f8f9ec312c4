#pragma once
// INI files as the panel project keeps them: Windows-1252 text with CR LF line ends.
// The generator writes its files from scratch and reads them back for the summary, so
// a plain section/key/value model is all it needs.
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velnor::demo {

struct IniSection {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;  // key, value (UTF-8)
};

// The file's bytes: "[name]" lines and "key=value" lines, Windows-1252, CR LF.
std::string IniBytes(const std::vector<IniSection>& sections);

// Parses Windows-1252 INI bytes (CR LF or LF); names and values trimmed, UTF-8.
std::vector<IniSection> ParseIni(std::string_view bytes);

// The value of the first matching key (names compared ignoring ASCII case), or "" when
// the section or key is missing.
std::string IniValue(const std::vector<IniSection>& ini, std::string_view section,
                     std::string_view key);
const IniSection* FindSection(const std::vector<IniSection>& ini, std::string_view section);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace velnor::demo
