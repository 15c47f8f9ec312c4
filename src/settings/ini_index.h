#pragma once
// A settings file read once and indexed, so that a read costs one look-up however
// large the file: a line with thousands of machines reads thousands of entries.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "settings/ini_encoding.h"

namespace velnor {

class IniIndex {
 public:
  // Indexes the entries of the file's bytes: of each section name the first section,
  // and in it of each key name the first key, names told apart as FoldedName does.
  explicit IniIndex(std::string_view bytes);

  // The stored value (trimmed, one pair of quotes removed) in the program's text, or
  // nothing when section or key is missing. Names are asked for in the program's text.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

 private:
  struct Span {
    std::size_t at = 0;
    std::size_t size = 0;
  };

  IniFileText file_;
  // By the folded section name, "]" (which ends every section name) and the folded key
  // name: where the value stands in file_.text.
  std::unordered_map<std::string, Span> values_;
};

}  // namespace velnor
