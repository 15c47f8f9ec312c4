#pragma once
// The lines of a settings file and what each of them is. Shared by the reader, which
// indexes a file once, and the writer, which changes single lines.
#include <algorithm>
#include <cstddef>
#include <string_view>

namespace velnor {

// Calls visit(text, lineBreak) for each line of text, in order, until it returns false.
// lineBreak is the break that ended the line ("\r\n", "\n", "\r", or "" for a last line
// without one); both are views into text. CR LF, LF and a lone CR split alike, as the
// platform did, also where one file mixes them (edited on different systems), so that
// no value runs on into the next line.
template <class Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::size_t breakSize = text.substr(end, 2) == "\r\n" ? 2 : end < text.size() ? 1 : 0;
    if (!visit(text.substr(0, end), text.substr(end, breakSize))) return;
    text.remove_prefix(end + breakSize);
  }
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
// A section's name ends at the first "]", or with the line when it has none.
ParsedLine Classify(std::string_view text);

// A value without one pair of matching quotes around all of it.
std::string_view WithoutQuotes(std::string_view value);

}  // namespace velnor
