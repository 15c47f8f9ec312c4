// --check: the preview a parent program asks for before it runs the tool silent. It
// must leave the project as it is and come true: the silent run right after it ends as
// it said and changes what it said.
#include <functional>
#include <regex>
#include <set>

#include "demo_fixture.h"

namespace velnor::e2e {
namespace {

// The one number after "name": in the preview's JSON; -1 when it is null or absent.
long long NumberAfter(const std::string& json, const std::string& name) {
  const std::size_t at = json.find("\"" + name + "\": ");
  if (at == std::string::npos) return -1;
  return std::atoll(json.c_str() + at + name.size() + 4);
}

// The Program.ini changes as "section/key: old -> new" ("(none)" for a key not there).
std::set<std::string> ProgramIniChanges(const std::string& json) {
  const std::size_t from = json.find("\"program_ini\": [");
  const std::string part = json.substr(from, json.find(']', from) - from);
  static const std::regex change(
      R"re(\{"section": "([^"]*)", "key": "([^"]*)", "old": (null|"[^"]*"), "new": "([^"]*)"\})re");
  std::set<std::string> changes;
  for (std::sregex_iterator it(part.begin(), part.end(), change), end; it != end; ++it) {
    const std::string old = (*it)[3] == "null" ? "(none)" : std::string((*it)[3]).substr(1);
    changes.insert(Upper((*it)[1]) + "/" + Upper((*it)[2]) + ": " +
                   (old == "(none)" ? old : old.substr(0, old.size() - 1)) + " -> " +
                   std::string((*it)[4]));
  }
  return changes;
}

std::set<std::string> ChangesBetween(const IniFile& before, const IniFile& after) {
  std::set<std::string> changes;
  for (const std::string& key : after.Keys("Info")) {
    const auto old = before.Get("Info", key);
    const auto now = after.Get("Info", key);
    if (old != now) {
      changes.insert("INFO/" + Upper(key) + ": " + old.value_or("(none)") + " -> " + *now);
    }
  }
  return changes;
}

// Limits of the previous generation's rows that the new table no longer holds, by
// offset: the rows the preview names as dropped.
std::set<long long> DroppedOffsets(const std::string& json) {
  static const std::regex dropped(R"re("offset_or_bitno": (-?\d+))re");
  std::set<long long> offsets;
  const std::size_t from = json.find("\"limits_dropped\": [");
  const std::string part = json.substr(from, json.find("]}", from) - from);
  for (std::sregex_iterator it(part.begin(), part.end(), dropped), end; it != end; ++it) {
    offsets.insert(std::stoll((*it)[1]));
  }
  return offsets;
}

TEST(Check, TellsWhatTheSilentRunAfterItMeetsAndChangesAndWritesNothing) {
  struct Case {
    const char* what;
    std::function<void(const DemoProject&)> spoil;
    int status;
    std::string problemFile;  // the file of a problem it must name, "" for none
  };
  const Case cases[] = {
      {"the demo project", [](const DemoProject&) {}, 0, ""},
      {"a damaged source database",
       [](const DemoProject& project) {
         std::string bytes = ReadBytes(project.sourceDb());
         WriteBytes(project.sourceDb(), bytes.substr(0, bytes.size() / 2));
       },
       2, "Widget_Source.mdb"},
      {"no .cfg", [](const DemoProject& project) { fs::remove(project.cfg()); }, 1, "Widget.cfg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DemoProject project;
    ASSERT_TRUE(project.ok());
    c.spoil(project);
    const auto before = FilesBelow(project.base());
    const IniFile programIni(project.programIni());
    const Table previous = ReadTable(project.componentDb(), "PRESET_DEFS");

    const RunResult text = project.RunTool({"--check"});
    const RunResult check = project.RunTool({"--check", "--json"});

    EXPECT_TRUE(FilesBelow(project.base()) == before) << "the check changed the project";
    EXPECT_FALSE(fs::exists(project.servicePackLog()));
    EXPECT_EQ(check.exitStatus, c.status) << check.Describe();
    EXPECT_EQ(text.exitStatus, c.status) << text.Describe();
    EXPECT_EQ(NumberAfter(check.out, "status"), c.status) << check.out;
    if (!c.problemFile.empty()) {
      std::string file = (project.base() / "Widget" / c.problemFile).string();
      for (std::size_t at = file.find('\\'); at != std::string::npos;
           at = file.find('\\', at + 2)) {
        file.insert(at, 1, '\\');  // as JSON writes a backslash
      }
      EXPECT_NE(check.out.find("{\"file\": \"" + file + "\""), std::string::npos) << check.out;
    }

    const RunResult run = project.RunSilent();
    EXPECT_EQ(run.exitStatus, c.status) << run.Describe();
    const Table after = ReadTable(project.componentDb(), "PRESET_DEFS");
    EXPECT_EQ(NumberAfter(check.out, "rows_after"), static_cast<long long>(after.rows.size()));
    EXPECT_EQ(ProgramIniChanges(check.out),
              ChangesBetween(programIni, IniFile(project.programIni())))
        << check.out;
    // The previous rows that found no partner are exactly those whose offset the new table
    // lacks; every other one's limits were carried.
    std::set<long long> kept;
    for (const auto& row : after.rows)
      kept.insert(LeadingNumber(Text(row[after.Column("offset_or_bitno")])));
    std::set<long long> lost;
    if (c.status == 0) {
      for (const auto& row : previous.rows) {
        const long long offset = LeadingNumber(Text(row[previous.Column("offset_or_bitno")]));
        if (kept.count(offset) == 0) lost.insert(offset);
      }
    }
    EXPECT_EQ(DroppedOffsets(check.out), lost) << check.out;
    EXPECT_EQ(NumberAfter(check.out, "limits_carried"),
              c.status == 0 ? static_cast<long long>(previous.rows.size() - lost.size()) : 0);
  }
}

}  // namespace
}  // namespace velnor::e2e
