#include "settings/ini_lines.h"

#include "platform/encoding.h"

namespace velnor {

// A header that lost its bracket still opens its section, as the platform opened it:
// reading the keys below it into the section before would find entries the platform
// never saw.
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

std::string_view WithoutQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace velnor
