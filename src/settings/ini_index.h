#pragma once
// A settings file read once and indexed, so that a read costs one look-up however
// large the file: a line with thousands of machines reads thousands of entries.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_encoding.h"

namespace velnor {

class IniIndex {
 public:
  // Indexes the entries of the file's bytes: of each section name the first section,
  // and in it of each key name the first key, names told apart as FoldedName does.
  explicit IniIndex(std::string bytes);

  // The stored value (trimmed, one pair of quotes removed) in the program's text, or
  // nothing when section or key is missing. Names are asked for in the program's text.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

 private:
  // A piece of file_.text.
  struct Span {
    std::size_t at = 0;
    std::size_t size = 0;
  };
  // One key, by the hash of its folded section and key names. The entries are sorted by
  // it, keeping the file's order among equal hashes, and share the file's text rather
  // than holding strings: a file of tens of megabytes has hundreds of thousands of keys.
  struct Entry {
    std::uint64_t hash = 0;
    std::size_t section = 0;  // in sections_
    Span key;
    Span value;
  };

  std::string_view Text(Span span) const;

  IniFileText file_;
  std::vector<Span> sections_;  // names of the sections whose keys are indexed
  std::vector<Entry> entries_;
};

}  // namespace velnor
