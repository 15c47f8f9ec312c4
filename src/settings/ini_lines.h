#pragma once
// The lines of a settings file and what each of them is. Shared by the reader, which
// indexes a file once, and the writer, which changes single lines.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velnor {

// Calls visit(text, lineBreak) for each line of text, where lineBreak is the break that
// ended it ("\r\n", "\n", "\r", or "" for a last line without one). CR LF, LF and a lone
// CR split alike, as the platform did, also where one file mixes them (edited on
// different systems), so that no value runs on into the next line.
template <class Visit>
void ForEachLine(std::string_view text, Visit&& visit) {
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos) {
      visit(text, std::string_view());
      return;
    }
    const std::size_t breakSize = text.substr(end, 2) == "\r\n" ? 2 : 1;
    visit(text.substr(0, end), text.substr(end, breakSize));
    text.remove_prefix(end + breakSize);
  }
}

// One line of the file as it lies on disk. Joining them gives the file back.
struct Line {
  std::string text;
  std::string lineBreak;
};

std::vector<Line> SplitLines(std::string_view text);
std::string JoinLines(const std::vector<Line>& lines);

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
