#include "settings/profile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/encoding.h"
#include "platform/paths.h"

namespace velnor {
namespace {

constexpr std::string_view kNewLineBreak = "\r\n";

// Windows-1252 names, compared letter by letter.
bool SameCp1252Name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperCp1252(static_cast<unsigned char>(a[i])) !=
        UpperCp1252(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// One line of the file as it lies on disk: its text and the break that ended it
// ("\r\n", "\n", "\r", or "" for a last line without one). Joining them gives the file
// back.
struct Line {
  std::string text;
  std::string lineBreak;
};

// Splits at CR LF, LF and a lone CR alike, as the platform did, also where one file mixes
// them (edited on different systems), so that no value runs on into the next line.
std::vector<Line> SplitLines(std::string_view bytes) {
  std::vector<Line> lines;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      lines.push_back({std::string(bytes), ""});
      break;
    }
    const std::size_t breakSize = bytes.substr(end, 2) == "\r\n" ? 2 : 1;
    lines.push_back({std::string(bytes.substr(0, end)), std::string(bytes.substr(end, breakSize))});
    bytes.remove_prefix(end + breakSize);
  }
  return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
  std::string bytes;
  for (const Line& line : lines) {
    bytes += line.text;
    bytes += line.lineBreak;
  }
  return bytes;
}

enum class LineKind { kOther, kComment, kSection, kKey };

struct ParsedLine {
  LineKind kind = LineKind::kOther;
  std::string_view name;    // section or key name, trimmed
  std::string_view value;   // value of a key, trimmed
  std::size_t nameEnd = 0;  // where a key's name ends in the line's text
};

// Classifies one line: a leading "[" opens a section, a leading ";" makes a comment,
// "name=value" is a key; anything else (blank lines, text without "=") is none of these.
// A section's name ends at the first "]", or with the line when it has none: the
// platform opened the section of a header that had lost its bracket, and reading the
// keys below it into the section before would find entries the platform never saw.
ParsedLine Classify(std::string_view text) {
  ParsedLine parsed;
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty()) return parsed;
  if (trimmed.front() == ';') {
    parsed.kind = LineKind::kComment;
    return parsed;
  }
  if (trimmed.front() == '[') {
    const std::size_t close = trimmed.find(']');
    parsed.kind = LineKind::kSection;
    parsed.name = Trim(trimmed.substr(1, close == std::string_view::npos ? close : close - 1));
    return parsed;
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return parsed;
  parsed.kind = LineKind::kKey;
  parsed.name = Trim(text.substr(0, equals));
  parsed.value = Trim(text.substr(equals + 1));
  parsed.nameEnd =
      parsed.name.empty()
          ? equals
          : static_cast<std::size_t>(parsed.name.data() - text.data()) + parsed.name.size();
  return parsed;
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A file's text taken apart into lines. The files are Windows-1252; one that begins with
// a UTF-8 byte-order mark (an editor saved it so) keeps its mark and is read and written
// as UTF-8, rather than losing its first section to the mark.
struct IniDocument {
  bool utf8 = false;
  std::vector<Line> lines;

  explicit IniDocument(std::string_view bytes) {
    utf8 = bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark;
    if (utf8) bytes.remove_prefix(kUtf8Mark.size());
    lines = SplitLines(bytes);
  }

  std::string Bytes() const {
    return (utf8 ? std::string(kUtf8Mark) : std::string()) + JoinLines(lines);
  }

  // Program text (UTF-8) as the file holds it, and back.
  std::string Encode(std::string_view text) const {
    return utf8 ? std::string(text) : Utf8ToCp1252(text);
  }
  std::string Decode(std::string_view bytes) const {
    return utf8 ? std::string(bytes) : Cp1252ToUtf8(bytes);
  }

  bool SameName(std::string_view a, std::string_view b) const {
    return utf8 ? EqualsIgnoringCase(a, b) : SameCp1252Name(a, b);
  }

  // The header line of the first section of that name; later sections of the same name
  // never count.
  std::size_t FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const ParsedLine parsed = Classify(lines[i].text);
      if (parsed.kind == LineKind::kSection && SameName(parsed.name, section)) return i;
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

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// The stored value (trimmed, one pair of quotes removed) in the program's text, or
// nothing when file, section or key is missing.
std::optional<std::string> FindValue(const std::string& section, const std::string& key,
                                     const std::string& file) {
  if (file.empty()) return std::nullopt;
  const std::optional<std::string> bytes = ReadFileBytes(file);
  if (!bytes) return std::nullopt;
  const IniDocument document(*bytes);
  const std::string sectionName(Trim(document.Encode(section)));
  const std::string keyName(Trim(document.Encode(key)));
  if (keyName.empty()) return std::nullopt;

  const std::size_t header = document.FindSection(sectionName);
  if (header == kNone) return std::nullopt;
  const std::size_t end = document.SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const ParsedLine parsed = Classify(document.lines[i].text);
    if (parsed.kind == LineKind::kKey && document.SameName(parsed.name, keyName)) {
      return document.Decode(WithoutQuotes(parsed.value));
    }
  }
  return std::nullopt;
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
  std::size_t lastKey = header;
  for (std::size_t i = header + 1; i < end; ++i) {
    const ParsedLine parsed = Classify(lines[i].text);
    if (parsed.kind != LineKind::kKey) continue;
    if (document.SameName(parsed.name, key)) {
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

std::vector<ProfileEntry> ReadProfileEntries(const std::string& file) {
  std::vector<ProfileEntry> entries;
  const std::optional<std::string> bytes = file.empty() ? std::nullopt : ReadFileBytes(file);
  if (!bytes) return entries;
  const IniDocument document(*bytes);
  std::string section;
  bool firstOfItsName = false;
  for (const Line& line : document.lines) {
    const ParsedLine parsed = Classify(line.text);
    if (parsed.kind == LineKind::kSection) {
      section = document.Decode(parsed.name);
      firstOfItsName = std::none_of(entries.begin(), entries.end(), [&](const ProfileEntry& e) {
        return EqualsIgnoringCase(e.section, section);
      });
    } else if (parsed.kind == LineKind::kKey && firstOfItsName && !parsed.name.empty()) {
      std::string key = document.Decode(parsed.name);
      const bool seen = std::any_of(entries.begin(), entries.end(), [&](const ProfileEntry& e) {
        return EqualsIgnoringCase(e.section, section) && EqualsIgnoringCase(e.key, key);
      });
      if (!seen) {
        entries.push_back({section, std::move(key), document.Decode(WithoutQuotes(parsed.value))});
      }
    }
  }
  return entries;
}

IoResult WriteProfileText(const std::string& section, const std::string& key,
                          const std::string& value, const std::string& file) {
  std::vector<ProfileRefusal> refused;
  IoResult written = WriteProfileEntries({{section, key, value}}, file, refused);
  if (written && !refused.empty()) return {false, refused.front().why};
  return written;
}

IoResult WriteProfileEntries(const std::vector<ProfileEntry>& entries, const std::string& file,
                             std::vector<ProfileRefusal>& refused,
                             const BeforeReplacing& beforeReplacing) {
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

  IniDocument document(original);
  for (const ProfileEntry& entry : entries) {
    const std::string sectionName(Trim(document.Encode(entry.section)));
    const std::string keyName(Trim(document.Encode(entry.key)));
    const std::string valueText = document.Encode(entry.value);
    if (const std::string why = Unstorable(sectionName, keyName, valueText); !why.empty()) {
      refused.push_back({entry.key, "cannot write [" + entry.section + "] " + entry.key + " in '" +
                                        file + "': " + why});
      continue;
    }
    StoreEntry(document, sectionName, keyName, valueText);
  }
  const std::string updated = document.Bytes();
  if (updated == original && (existed || refused.size() == entries.size())) return {};
  if (beforeReplacing && !beforeReplacing()) return {false, "'" + file + "' is left as it is"};
  return WriteFileAtomically(file, updated);
}

}  // namespace velnor
