#include "ini_text.h"

#include <cctype>

#include "platform/encoding.h"

namespace velnor::demo {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

}  // namespace

std::string IniBytes(const std::vector<IniSection>& sections) {
  std::string text;
  for (const IniSection& section : sections) {
    text += "[" + section.name + "]\r\n";
    for (const auto& [key, value] : section.entries) text += key + "=" + value + "\r\n";
  }
  return Utf8ToCp1252(text);
}

std::vector<IniSection> ParseIni(std::string_view bytes) {
  const std::string text = Cp1252ToUtf8(bytes);
  std::vector<IniSection> sections;
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    if (line.empty()) continue;
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      sections.push_back({std::string(Trim(line.substr(1, close == 0 ? 0 : close - 1))), {}});
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || sections.empty()) continue;
    sections.back().entries.emplace_back(std::string(Trim(line.substr(0, equals))),
                                         std::string(Trim(line.substr(equals + 1))));
  }
  return sections;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

const IniSection* FindSection(const std::vector<IniSection>& ini, std::string_view section) {
  for (const IniSection& s : ini) {
    if (EqualsIgnoringAsciiCase(s.name, section)) return &s;
  }
  return nullptr;
}

std::string IniValue(const std::vector<IniSection>& ini, std::string_view section,
                     std::string_view key) {
  const IniSection* s = FindSection(ini, section);
  if (s == nullptr) return "";
  for (const auto& [name, value] : s->entries) {
    if (EqualsIgnoringAsciiCase(name, key)) return value;
  }
  return "";
}

}  // namespace velnor::demo
