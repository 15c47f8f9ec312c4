#include "settings/ini_index.h"

#include <algorithm>
#include <functional>
#include <unordered_set>
#include <utility>

#include "platform/encoding.h"
#include "settings/ini_lines.h"

namespace velnor {
namespace {

std::uint64_t HashOf(std::string_view foldedSection, std::string_view foldedKey) {
  const std::hash<std::string_view> hash;
  return hash(foldedSection) * 1099511628211ull ^ hash(foldedKey);
}

}  // namespace

IniIndex::IniIndex(std::string bytes) : file_(DecodeIniFile(std::move(bytes))) {
  const std::string_view text = file_.text;
  const auto spanOf = [text](std::string_view piece) {
    // An empty piece may point nowhere in the text.
    return piece.empty() ? Span{}
                         : Span{static_cast<std::size_t>(piece.data() - text.data()), piece.size()};
  };
  // Room for a key on every line, rather than growing by doubling: a file of tens of
  // megabytes has hundreds of thousands of keys.
  entries_.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::unordered_set<std::string> sectionNames;
  std::string section;
  // Keys before the first section belong to none, and a later section of a name that
  // came before is never merged into the first.
  bool indexed = false;
  ForEachLine(text, [&](std::string_view line, std::string_view) {
    const ParsedLine parsed = Classify(line);
    if (parsed.kind == LineKind::kSection) {
      section = FoldedName(file_.form, parsed.name);
      indexed = sectionNames.insert(section).second;
      if (indexed) sections_.push_back(spanOf(parsed.name));
    } else if (parsed.kind == LineKind::kKey && indexed && !parsed.name.empty()) {
      entries_.push_back({HashOf(section, FoldedName(file_.form, parsed.name)),
                          sections_.size() - 1, spanOf(parsed.name), spanOf(parsed.value)});
    }
    return true;
  });
  std::stable_sort(entries_.begin(), entries_.end(),
                   [](const Entry& a, const Entry& b) { return a.hash < b.hash; });
}

std::string_view IniIndex::Text(Span span) const {
  return std::string_view(file_.text).substr(span.at, span.size);
}

std::optional<std::string> IniIndex::Find(std::string_view section, std::string_view key) const {
  const std::string keyName = FoldedName(file_.form, Trim(ToLineText(file_.form, key)));
  if (keyName.empty()) return std::nullopt;
  const std::string sectionName = FoldedName(file_.form, Trim(ToLineText(file_.form, section)));
  const std::uint64_t hash = HashOf(sectionName, keyName);
  auto candidate =
      std::lower_bound(entries_.begin(), entries_.end(), hash,
                       [](const Entry& entry, std::uint64_t h) { return entry.hash < h; });
  // Two names may share a hash: the first entry whose names are the ones asked for.
  for (; candidate != entries_.end() && candidate->hash == hash; ++candidate) {
    if (FoldedName(file_.form, Text(candidate->key)) == keyName &&
        FoldedName(file_.form, Text(sections_[candidate->section])) == sectionName) {
      return FromLineText(file_.form, WithoutQuotes(Text(candidate->value)));
    }
  }
  return std::nullopt;
}

}  // namespace velnor
