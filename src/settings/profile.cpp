#include "settings/profile.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/encoding.h"
#include "platform/paths.h"
#include "settings/ini_encoding.h"
#include "settings/ini_lines.h"
#include "settings/profile_cache.h"

namespace velnor {
namespace {

constexpr std::string_view kNewLineBreak = "\r\n";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A file's text taken apart into lines, to change some of them and put it together
// again in the file's own encoding.
struct IniDocument {
  IniForm form;
  std::vector<Line> lines;

  explicit IniDocument(const IniFileText& file) : form(file.form), lines(SplitLines(file.text)) {}

  std::string Bytes() const { return EncodeIniFile(form, JoinLines(lines)); }

  // The header line of the first section of that name; later sections of the same name
  // never count.
  std::size_t FindSection(std::string_view section) const {
    const std::string wanted = FoldedName(form, section);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const ParsedLine parsed = Classify(lines[i].text);
      if (parsed.kind == LineKind::kSection && FoldedName(form, parsed.name) == wanted) return i;
    }
    return kNone;
  }

  // The line after the last line of the section that starts at header.
  std::size_t SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines.size() && Classify(lines[i].text).kind != LineKind::kSection) ++i;
    return i;
  }
};

// The stored value (trimmed, one pair of quotes removed) in the program's text, or
// nothing when file, section or key is missing.
std::optional<std::string> FindValue(const std::string& section, const std::string& key,
                                     const std::string& file) {
  if (file.empty()) return std::nullopt;
  const std::shared_ptr<const IniIndex> entries = ReadIniEntries(file);
  if (!entries) return std::nullopt;
  return entries->Find(section, key);
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Why a name or value could not be stored so that it reads back as written; "" when it
// can. Such a write would split the entry over two lines or turn it into a comment or a
// section header.
std::string Unstorable(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section)) return "the section name contains a line break";
  if (section.find(']') != std::string_view::npos) return "the section name contains \"]\"";
  if (key.empty()) return "the key name is empty";
  if (HasLineBreak(key)) return "the key name contains a line break";
  if (key.find('=') != std::string_view::npos) return "the key name contains \"=\"";
  if (key.front() == ';' || key.front() == '[') {
    return "the key name begins with \"" + std::string(1, key.front()) + "\"";
  }
  if (HasLineBreak(value)) return "the value contains a line break";
  return {};
}

// Stores key=value in section, names and value already as the file holds them; every
// other line stays as it was.
void StoreEntry(IniDocument& document, const std::string& section, const std::string& key,
                const std::string& value) {
  std::vector<Line>& lines = document.lines;
  const std::size_t header = document.FindSection(section);
  if (header == kNone) {
    if (!lines.empty() && lines.back().lineBreak.empty()) lines.back().lineBreak = kNewLineBreak;
    lines.push_back({"[" + section + "]", std::string(kNewLineBreak)});
    lines.push_back({key + "=" + value, std::string(kNewLineBreak)});
    return;
  }

  const std::size_t end = document.SectionEnd(header);
  const std::string wanted = FoldedName(document.form, key);
  std::size_t lastKey = header;
  for (std::size_t i = header + 1; i < end; ++i) {
    const ParsedLine parsed = Classify(lines[i].text);
    if (parsed.kind != LineKind::kKey) continue;
    if (FoldedName(document.form, parsed.name) == wanted) {
      // The file's own spelling (and indentation) of the key stays. A last line without
      // a break gains one, as the platform wrote each entry it changed as a whole line.
      lines[i].text = lines[i].text.substr(0, parsed.nameEnd) + "=" + value;
      if (lines[i].lineBreak.empty()) lines[i].lineBreak = kNewLineBreak;
      return;
    }
    lastKey = i;
  }

  // A new key goes after the section's last key, so that comments and blank lines
  // that close the section stay where they are.
  if (lines[lastKey].lineBreak.empty()) lines[lastKey].lineBreak = kNewLineBreak;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastKey) + 1,
               Line{key + "=" + value, std::string(kNewLineBreak)});
}

// Cuts UTF-8 text to at most room characters and returns how many it holds. Every
// Windows-1252 character is one character of the program's text.
std::size_t CutToCharacters(std::string& text, std::size_t room) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // inside a character
    if (count == room) {
      text.resize(i);
      break;
    }
    ++count;
  }
  return count;
}

// The base that a prefix ("0x", "0b", "0o", in either case) names, taking the prefix off
// text; 10 without one, as the platform's conversion made no octal number of a lone 0.
unsigned TakeBasePrefix(std::string_view& text) {
  if (text.size() < 2 || text[0] != '0') return 10;
  const int letter = std::tolower(static_cast<unsigned char>(text[1]));
  const unsigned base = letter == 'x' ? 16 : letter == 'b' ? 2 : letter == 'o' ? 8 : 10;
  if (base != 10) text.remove_prefix(2);
  return base;
}

// The worth of c as a digit of bases up to 16; 16 for anything that is no such digit.
unsigned DigitValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a') + 10u;
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A') + 10u;
  return 16;
}

}  // namespace

ProfileText ReadProfileText(const std::string& section, const std::string& key,
                            const std::string& defaultText, std::size_t bufferSize,
                            const std::string& file) {
  std::string value;
  if (std::optional<std::string> found = FindValue(section, key, file)) {
    value = std::move(*found);
  } else {
    value = defaultText;
    while (!value.empty() && value.back() == ' ') value.pop_back();
  }
  // The buffer keeps one place for the terminating NUL.
  const std::size_t count = CutToCharacters(value, bufferSize == 0 ? 0 : bufferSize - 1);
  return {std::move(value), count};
}

std::int32_t ReadProfileInteger(const std::string& section, const std::string& key,
                                std::int32_t defaultValue, const std::string& file) {
  const std::optional<std::string> found = FindValue(section, key, file);
  if (!found || found->empty()) return defaultValue;

  std::string_view text = *found;
  text.remove_prefix(std::min(text.find_first_not_of(kWhiteSpace), text.size()));
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const unsigned base = TakeBasePrefix(text);
  // Unsigned arithmetic wraps modulo 2^32, as the platform's conversion did.
  std::uint32_t number = 0;
  for (const char c : text) {
    const unsigned digit = DigitValue(c);
    if (digit >= base) break;
    number = number * base + digit;
  }
  if (negative) number = 0u - number;
  return static_cast<std::int32_t>(number);
}

IoResult WriteProfileText(const std::string& section, const std::string& key,
                          const std::string& value, const std::string& file) {
  std::vector<ProfileRefusal> refused;
  IoResult written = WriteProfileEntries({{section, key, value}}, file, refused);
  if (written && !refused.empty()) return {false, refused.front().why};
  return written;
}

IoResult WriteProfileEntries(const std::vector<ProfileEntry>& entries, const std::string& file,
                             std::vector<ProfileRefusal>& refused) {
  std::string keys;
  for (const ProfileEntry& entry : entries) {
    keys += (keys.empty() ? "[" : ", [") + entry.section + "] " + entry.key;
  }
  const std::string where = keys + " in '" + file + "'";
  if (file.empty()) return {false, "no file named for writing " + keys};

  std::string original;
  const bool existed = FileExists(file);
  if (existed) {
    std::optional<std::string> bytes = ReadFileBytes(file);
    // Never replace a file whose contents could not be read: they would be lost.
    if (!bytes) return {false, "cannot read '" + ResolvePath(file) + "' to write " + where};
    original = std::move(*bytes);
  }

  const IniFileText decoded = DecodeIniFile(original);
  if (decoded.undecodable != std::string_view::npos) {
    return {false, "cannot write " + where + ": the file is " + EncodingName(decoded.form) +
                       " text, but its bytes from position " + std::to_string(decoded.undecodable) +
                       " on are not, and a rewrite would lose them"};
  }
  IniDocument document(decoded);
  for (const ProfileEntry& entry : entries) {
    const std::string sectionName(Trim(ToLineText(document.form, entry.section)));
    const std::string keyName(Trim(ToLineText(document.form, entry.key)));
    const std::string valueText = ToLineText(document.form, entry.value);
    if (const std::string why = Unstorable(sectionName, keyName, valueText); !why.empty()) {
      refused.push_back({entry.key, "cannot write [" + entry.section + "] " + entry.key + " in '" +
                                        file + "': " + why});
      continue;
    }
    StoreEntry(document, sectionName, keyName, valueText);
  }
  const std::string updated = document.Bytes();
  if (updated == original && (existed || refused.size() == entries.size())) return {};
  IoResult written = WriteFileAtomically(file, updated);
  ForgetIniEntries(file);
  return written;
}

}  // namespace velnor
