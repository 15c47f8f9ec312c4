#include "settings/profile.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/encoding.h"
#include "platform/paths.h"
#include "settings/ini_encoding.h"
#include "settings/ini_lines.h"
#include "settings/profile_cache.h"

namespace velnor {
namespace {

constexpr std::string_view kNewLineBreak = "\r\n";
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

// Where a line lies in a text: its own characters from at to end, its break up to next.
struct LineSpan {
  std::size_t at = 0;
  std::size_t end = 0;
  std::size_t next = 0;
};

// Where a key of a section lies, or where a new one goes.
struct EntryPlace {
  bool sectionFound = false;
  bool keyFound = false;
  // The key's line; for a new key the line it goes after: the section's last key, or
  // its header, so that comments and blank lines that close the section stay where
  // they are.
  LineSpan line;
  std::size_t nameEnd = 0;  // where a found key's name ends in its line
};

// Only the first section of a name counts, and in it the first key of a name.
EntryPlace FindEntry(const IniForm& form, std::string_view text, std::string_view section,
                     std::string_view key) {
  const std::string wantedSection = FoldedName(form, section);
  const std::string wantedKey = FoldedName(form, key);
  EntryPlace place;
  ForEachLine(text, [&](std::string_view line, std::string_view lineBreak) {
    const ParsedLine parsed = Classify(line);
    const auto at = static_cast<std::size_t>(line.data() - text.data());
    const LineSpan span{at, at + line.size(), at + line.size() + lineBreak.size()};
    if (!place.sectionFound) {
      if (parsed.kind == LineKind::kSection && FoldedName(form, parsed.name) == wantedSection) {
        place.sectionFound = true;
        place.line = span;
      }
      return true;
    }
    if (parsed.kind == LineKind::kSection) return false;
    if (parsed.kind != LineKind::kKey) return true;
    place.line = span;
    place.keyFound = FoldedName(form, parsed.name) == wantedKey;
    place.nameEnd = parsed.nameEnd;
    return !place.keyFound;
  });
  return place;
}

// Stores key=value in section of the file's text, names and value already as the file
// holds them; every other line stays as it was. Whether the text changed.
bool StoreEntry(std::string& text, const IniForm& form, const std::string& section,
                const std::string& key, const std::string& value) {
  const EntryPlace place = FindEntry(form, text, section, key);
  const std::string entry = key + "=" + value + std::string(kNewLineBreak);
  if (!place.sectionFound) {
    if (!text.empty() && text.back() != '\r' && text.back() != '\n') text += kNewLineBreak;
    text += "[" + section + "]" + std::string(kNewLineBreak) + entry;
    return true;
  }
  const LineSpan& line = place.line;
  // A last line without a break gains one, as the platform wrote each entry it changed
  // as a whole line.
  const std::string missingBreak(line.next == line.end ? kNewLineBreak : "");
  if (!place.keyFound) {
    text.insert(line.next, missingBreak + entry);
    return true;
  }
  // The file's own spelling (and indentation) of the key stays.
  const std::size_t from = line.at + place.nameEnd;
  const std::string rest = "=" + value + missingBreak;
  if (text.compare(from, line.end - from, rest) == 0) return false;
  text.replace(from, line.end - from, rest);
  return true;
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
  std::optional<std::string> bytes = file.empty() ? std::nullopt : ReadFileBytes(file);
  if (!bytes) return entries;
  const IniFileText document = DecodeIniFile(std::move(*bytes));
  // By folded name, as a read tells names apart: the sections met so far, and the keys
  // met in the first section of each name.
  std::unordered_set<std::string> sections;
  std::unordered_set<std::string> keys;
  std::string section;
  std::string foldedSection;
  bool firstOfItsName = false;
  ForEachLine(document.text, [&](std::string_view line, std::string_view) {
    const ParsedLine parsed = Classify(line);
    if (parsed.kind == LineKind::kSection) {
      section = FromLineText(document.form, parsed.name);
      foldedSection = FoldedName(document.form, parsed.name);
      firstOfItsName = sections.insert(foldedSection).second;
    } else if (parsed.kind == LineKind::kKey && firstOfItsName && !parsed.name.empty() &&
               keys.insert(foldedSection + "]" + FoldedName(document.form, parsed.name)).second) {
      entries.push_back({section, FromLineText(document.form, parsed.name),
                         FromLineText(document.form, WithoutQuotes(parsed.value))});
    }
    return true;
  });
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

  // What a cache knows of the file goes first: it never outlives the write, and a file
  // of tens of megabytes is not held twice while it is rewritten.
  ForgetIniEntries(file);
  std::string original;
  const bool existed = FileExists(file);
  if (existed) {
    std::optional<std::string> bytes = ReadFileBytes(file);
    // Never replace a file whose contents could not be read: they would be lost.
    if (!bytes) return {false, "cannot read '" + ResolvePath(file) + "' to write " + where};
    original = std::move(*bytes);
  }

  IniFileText document = DecodeIniFile(std::move(original));
  if (document.undecodable != std::string_view::npos) {
    return {false, "cannot write " + where + ": the file is " + EncodingName(document.form) +
                       " text, but its bytes from position " +
                       std::to_string(document.undecodable) +
                       " on are not, and a rewrite would lose them"};
  }
  bool changed = false;
  for (const ProfileEntry& entry : entries) {
    const std::string sectionName(Trim(ToLineText(document.form, entry.section)));
    const std::string keyName(Trim(ToLineText(document.form, entry.key)));
    const std::string valueText = ToLineText(document.form, entry.value);
    if (const std::string why = Unstorable(sectionName, keyName, valueText); !why.empty()) {
      refused.push_back({entry.key, "cannot write [" + entry.section + "] " + entry.key + " in '" +
                                        file + "': " + why});
      continue;
    }
    changed = StoreEntry(document.text, document.form, sectionName, keyName, valueText) || changed;
  }
  if (!changed && (existed || refused.size() == entries.size())) return {};
  if (beforeReplacing && !beforeReplacing()) return {false, "'" + file + "' is left as it is"};
  return WriteFileAtomically(file, EncodeIniFile(document.form, std::move(document.text)));
}

}  // namespace velnor
