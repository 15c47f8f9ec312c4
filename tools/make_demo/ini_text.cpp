#include "ini_text.h"

#include <array>
#include <cctype>
#include <cstdint>

namespace velnor::demo {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five bytes the code page leaves undefined.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

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

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    char32_t c = lead;
    std::size_t length = 1;
    if (lead >= 0xF0) {
      length = 4;
      c = lead & 0x07;
    } else if (lead >= 0xE0) {
      length = 3;
      c = lead & 0x0F;
    } else if (lead >= 0xC0) {
      length = 2;
      c = lead & 0x1F;
    } else if (lead >= 0x80) {
      c = U'?';  // a stray continuation byte
    }
    for (std::size_t k = 1; k < length; ++k) {
      c = i + k < utf8.size() ? (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F) : U'?';
    }
    i += length;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    char byte = '?';
    for (std::size_t k = 0; k < kHighControls.size(); ++k) {
      if (kHighControls[k] == c) byte = static_cast<char>(0x80 + k);
    }
    out.push_back(byte);
  }
  return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  for (char ch : cp1252) {
    const auto byte = static_cast<unsigned char>(ch);
    if (byte >= 0x80 && byte < 0xA0) {
      const char32_t c = kHighControls[byte - 0x80];
      AppendUtf8(out, c == 0 ? U'?' : c);
    } else {
      AppendUtf8(out, byte);
    }
  }
  return out;
}

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
