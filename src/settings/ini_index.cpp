#include "settings/ini_index.h"

#include <unordered_set>

#include "platform/encoding.h"
#include "settings/ini_lines.h"

namespace velnor {
namespace {

std::string EntryName(std::string_view foldedSection, std::string_view foldedKey) {
  std::string name;
  name.reserve(foldedSection.size() + 1 + foldedKey.size());
  name += foldedSection;
  name += ']';
  name += foldedKey;
  return name;
}

}  // namespace

IniIndex::IniIndex(std::string_view bytes) : file_(DecodeIniFile(bytes)) {
  const std::string_view text = file_.text;
  std::unordered_set<std::string> sections;
  std::string section;
  // Keys before the first section belong to none, and a later section of a name that
  // came before is never merged into the first.
  bool indexed = false;
  ForEachLine(text, [&](std::string_view line, std::string_view) {
    const ParsedLine parsed = Classify(line);
    if (parsed.kind == LineKind::kSection) {
      section = FoldedName(file_.form, parsed.name);
      indexed = sections.insert(section).second;
    } else if (parsed.kind == LineKind::kKey && indexed && !parsed.name.empty()) {
      // An empty value may point nowhere in the text.
      const auto at =
          parsed.value.empty() ? 0 : static_cast<std::size_t>(parsed.value.data() - text.data());
      values_.try_emplace(EntryName(section, FoldedName(file_.form, parsed.name)),
                          Span{at, parsed.value.size()});
    }
  });
}

std::optional<std::string> IniIndex::Find(std::string_view section, std::string_view key) const {
  const std::string keyName(Trim(ToLineText(file_.form, key)));
  if (keyName.empty()) return std::nullopt;
  const std::string sectionName(Trim(ToLineText(file_.form, section)));
  const auto found =
      values_.find(EntryName(FoldedName(file_.form, sectionName), FoldedName(file_.form, keyName)));
  if (found == values_.end()) return std::nullopt;
  const std::string_view value =
      std::string_view(file_.text).substr(found->second.at, found->second.size);
  return FromLineText(file_.form, WithoutQuotes(value));
}

}  // namespace velnor
