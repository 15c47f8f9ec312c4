#include "expected_presets.h"

#include <algorithm>
#include <array>
#include <map>

namespace velnor::e2e {
namespace {

constexpr std::array<const char*, 5> kLimitColumns = {"abs_min", "abs_max", "min", "max", "pass"};

// The name patterns of "Source_DEFS" by naming system (0 VisiWin32, 1 VisiWin Studio)
// and part; the last row for an entry wins.
std::array<std::map<std::int64_t, std::string>, 2> NamePatterns(const fs::path& sourceDb) {
  std::array<std::map<std::int64_t, std::string>, 2> patterns;
  const Table defs = ReadTable(sourceDb, "Source_DEFS");
  for (const auto& row : defs.rows) {
    const std::string system = Upper(Text(row[defs.Column("System")]));
    const int slot = system == "VISIWIN32" ? 0 : system == "VISIWINSTUDIO" ? 1 : -1;
    if (slot < 0) continue;
    patterns[static_cast<std::size_t>(slot)][std::get<std::int64_t>(row[defs.Column("Part")])] =
        Text(row[defs.Column("Var_Name")]);
  }
  return patterns;
}

}  // namespace

ExpectedPresets ExpectPresets(const fs::path& sourceDb, const Table& previous,
                              const std::string& machine, int nameSystem) {
  const auto patterns = NamePatterns(sourceDb);
  const Table source = ReadTable(sourceDb, "Source_PRESET_DEFS");
  ExpectedPresets expected;
  expected.table.columns = source.columns;
  const std::size_t part = source.Column("part");
  const std::size_t varName = source.Column("var_name");
  const std::size_t machineType = source.Column("machine_type");
  const std::size_t offset = source.Column("offset_or_bitno");
  for (std::size_t i = 0; i < source.rows.size(); ++i) {
    std::vector<Value> row = source.rows[i];
    row[0] = static_cast<std::int64_t>(i + 1);
    std::array<std::string, 2> names;
    for (std::size_t c = 1; c < row.size(); ++c) {
      const auto* text = std::get_if<std::string>(&row[c]);
      if (text == nullptr) continue;
      if (c == varName) {
        const auto p = std::get<std::int64_t>(row[part]);
        for (std::size_t k = 0; k < 2; ++k) {
          const auto pattern = patterns[k].find(p);
          names[k] = pattern == patterns[k].end() ? "" : pattern->second;
          names[k] = ReplaceFirst(names[k], "###Var_Name", *text);
          names[k] = ReplaceFirst(names[k], "###machine", machine);
          names[k] = ReplaceFirst(names[k], "###machine", machine);
        }
        row[c] = names[static_cast<std::size_t>(nameSystem)];
      } else {
        row[c] = ReplaceFirst(*text, "###machine", machine);
      }
    }
    const auto matches = [&](const std::vector<Value>& old) {
      return SameValue(old[previous.Column("machine_type")], row[machineType]) &&
             SameValue(old[previous.Column("offset_or_bitno")], row[offset]) &&
             (Text(old[previous.Column("var_name")]) == names[0] ||
              Text(old[previous.Column("var_name")]) == names[1]);
    };
    const auto old = std::find_if(previous.rows.begin(), previous.rows.end(), matches);
    if (old != previous.rows.end()) {
      for (const char* limit : kLimitColumns) {
        row[source.Column(limit)] = (*old)[previous.Column(limit)];
      }
      ++expected.takenOver;
    } else {
      ++expected.fromTemplate;
    }
    expected.table.rows.push_back(std::move(row));
  }
  return expected;
}

void ExpectSameTable(const Table& actual, const Table& expected) {
  EXPECT_EQ(actual.columns, expected.columns);
  ASSERT_EQ(actual.rows.size(), expected.rows.size());
  int reported = 0;
  for (std::size_t r = 0; r < actual.rows.size() && reported < 10; ++r) {
    for (std::size_t c = 0; c < expected.columns.size() && c < actual.rows[r].size(); ++c) {
      if (!SameValue(actual.rows[r][c], expected.rows[r][c])) {
        ADD_FAILURE() << "row " << r + 1 << ", column " << expected.columns[c] << ": "
                      << Show(actual.rows[r][c]) << ", expected " << Show(expected.rows[r][c]);
        ++reported;
      }
    }
  }
}

}  // namespace velnor::e2e
