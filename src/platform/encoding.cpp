#include "platform/encoding.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace velnor {
namespace {

// Code points of the bytes 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves
// undefined (they map to the C1 control of the same number, as Windows does).
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CodePointOf(unsigned char c) {
  if (c >= 0x80 && c <= 0x9F) {
    const char32_t mapped = kHighControls[c - 0x80];
    return mapped != 0 ? mapped : c;
  }
  return c;
}

int ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<int>(0x80 + i);
  }
  if (cp >= 0x80 && cp <= 0x9F) return static_cast<int>(cp);
  return -1;
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  int extra = 0;
  char32_t cp = 0;
  if (lead >= 0xC2 && lead < 0xE0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    ++i;
    return kStrayByte + lead;
  }
  if (i + extra >= text.size()) {  // cut off at the end
    ++i;
    return kStrayByte + lead;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return kStrayByte + lead;
    }
    cp = (cp << 6) | (next & 0x3F);
  }
  // An overlong form or a value beyond Unicode is no character: decoded, it would
  // come back in fewer bytes, or as a stray byte it never was, and positions found in
  // an upper-cased copy would no longer hold in the original.
  constexpr char32_t kShortestOfLength[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kShortestOfLength[extra] || cp > 0x10FFFF) {
    ++i;
    return kStrayByte + lead;
  }
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char32_t UpperCodePoint(char32_t cp) {
  if (cp >= 'a' && cp <= 'z') return cp - 0x20;
  if (cp < 0x80) return cp;
  if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7) return cp - 0x20;
  switch (cp) {
    case 0x0161:
      return 0x0160;  // š
    case 0x0153:
      return 0x0152;  // œ
    case 0x017E:
      return 0x017D;  // ž
    case 0x00FF:
      return 0x0178;  // ÿ
    default:
      return cp;
  }
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = DecodeUtf8(utf8, i);
    if (cp >= kStrayByte) {
      out += static_cast<char>(cp - kStrayByte);  // text that was not UTF-8 after all
      continue;
    }
    const int byte = ByteOf(cp);
    out += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return out;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (const char c : cp1252) AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::size_t* firstFault) {
  constexpr char32_t kReplacement = 0xFFFD;
  const auto unitAt = [&](std::size_t at) {
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char32_t>(bigEndian ? first << 8 | second : second << 8 | first);
  };
  const auto isHigh = [](char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; };
  const auto isLow = [](char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; };
  std::size_t fault = std::string_view::npos;
  std::string out;
  out.reserve(bytes.size());
  std::size_t at = 0;
  for (; at + 1 < bytes.size(); at += 2) {
    const char32_t unit = unitAt(at);
    if (isHigh(unit) && at + 3 < bytes.size() && isLow(unitAt(at + 2))) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(at + 2) - 0xDC00));
      at += 2;
    } else if (isHigh(unit) || isLow(unit)) {
      if (fault == std::string_view::npos) fault = at;
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  if (at < bytes.size()) {
    if (fault == std::string_view::npos) fault = at;
    AppendUtf8(out, kReplacement);
  }
  if (firstFault != nullptr) *firstFault = fault;
  return out;
}

std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian) {
  std::string out;
  out.reserve(utf8.size() * 2);
  const auto appendUnit = [&](char32_t unit) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  };
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = DecodeUtf8(utf8, i);
    if (cp >= kStrayByte) cp = CodePointOf(static_cast<unsigned char>(cp - kStrayByte));
    // A surrogate spelled out in UTF-8 would end up unpaired in the UTF-16 text.
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
    if (cp >= 0x10000) {
      appendUnit(0xD800 + ((cp - 0x10000) >> 10));
      appendUnit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      appendUnit(cp);
    }
  }
  return out;
}

unsigned char UpperCp1252(unsigned char c) {
  return static_cast<unsigned char>(ByteOf(UpperCodePoint(CodePointOf(c))));
}

std::string Join(const std::vector<std::string>& texts, std::string_view separator) {
  std::string joined;
  for (const std::string& text : texts) {
    if (!joined.empty()) joined += separator;
    joined += text;
  }
  return joined;
}

std::string_view Trim(std::string_view text, std::string_view blanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string UpperCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = DecodeUtf8(utf8, i);
    if (cp >= kStrayByte) {
      out += static_cast<char>(cp - kStrayByte);
    } else {
      AppendUtf8(out, UpperCodePoint(cp));
    }
  }
  return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  // Character by character, without an upper-cased copy: the comparisons of names and
  // placeholders run for every value of a table. A byte that is no UTF-8 equals only
  // itself.
  if (a.size() != b.size()) return false;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[j]);
    if ((x | y) < 0x80) {
      if (x != y && UpperCodePoint(x) != UpperCodePoint(y)) return false;
      ++i;
      ++j;
      continue;
    }
    if (UpperCodePoint(DecodeUtf8(a, i)) != UpperCodePoint(DecodeUtf8(b, j))) return false;
  }
  return i == a.size() && j == b.size();
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view needle) {
  if (needle.empty()) return 0;
  // A needle that starts with a character without case (the placeholders start with
  // "#") is looked for only where that character stands, without upper-casing the
  // whole text.
  const auto first = static_cast<unsigned char>(needle.front());
  const bool hasCase = first >= 0x80 || ((first | 0x20) >= 'a' && (first | 0x20) <= 'z');
  if (hasCase) {
    // The upper-cased copy can hold a needle of loose bytes inside a character ("\x89"
    // in the "É" of "é"): a place counts only where the text itself holds the needle.
    const std::string upperText = UpperCase(text);
    const std::string upperNeedle = UpperCase(needle);
    for (std::size_t pos = upperText.find(upperNeedle); pos != std::string::npos;
         pos = upperText.find(upperNeedle, pos + 1)) {
      if (EqualsIgnoringCase(text.substr(pos, needle.size()), needle)) return pos;
    }
    return std::string_view::npos;
  }
  for (std::size_t pos = text.find(needle.front()); pos != std::string_view::npos;
       pos = text.find(needle.front(), pos + 1)) {
    if (pos + needle.size() > text.size()) break;
    // Upper-casing keeps every character's byte length, so a match has the needle's.
    if (EqualsIgnoringCase(text.substr(pos, needle.size()), needle)) return pos;
  }
  return std::string_view::npos;
}

std::string JsonString(std::string_view utf8) {
  std::string json = "\"";
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = DecodeUtf8(utf8, i);
    if (cp == U'"' || cp == U'\\') {
      json += '\\';
      json += static_cast<char>(cp);
    } else if (cp < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(cp));
      json += escaped;
    } else {
      AppendUtf8(json, cp >= kStrayByte ? U'\uFFFD' : cp);
    }
  }
  return json + "\"";
}

}  // namespace velnor
