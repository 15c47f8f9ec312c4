#include "summary.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "demo_db.h"
#include "demo_project.h"
#include "ini_text.h"
#include "platform/encoding.h"
#include "platform/fs_path.h"

namespace velnor::demo {
namespace fs = std::filesystem;

namespace {

constexpr const char* kSnapshotFolder = ".demo-before";

struct Watched {
  const char* key;  // file name inside the snapshot folder
  fs::path path;    // relative to the project
};

std::vector<Watched> WatchedFiles() {
  const std::string component = kComponent;
  return {{"Program.ini", fs::path("parameter") / "Program.ini"},
          {"component.mdb", fs::path(component) / (component + ".mdb")},
          {"source.mdb", fs::path(component) / (component + "_Source.mdb")},
          {"component.cfg", fs::path(component) / (component + ".cfg")},
          {"machinecopy.mdb", fs::path(kSaveRestoreFolder) / component / (component + ".mdb")},
          {"language.ini", fs::path(kProgramFolder) / (std::string(kExecutableName) + ".ini")},
          {"errorlog.txt", fs::path(kErrorLog)},
          {"servicepack.log", fs::path(kServicePackLog)}};
}

std::optional<std::string> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

struct Versions {
  std::optional<std::string> before;
  std::optional<std::string> after;
  bool Changed() const { return before != after; }
};

Versions Compare(const fs::path& folder, const char* key) {
  for (const Watched& w : WatchedFiles()) {
    if (std::string(w.key) == key) {
      return {ReadBytes(folder / kSnapshotFolder / w.key), ReadBytes(folder / w.path)};
    }
  }
  throw std::logic_error(std::string("no watched file ") + key);
}

std::string ExitMeaning(int status, bool saved) {
  switch (status) {
    case 0:
      return saved ? "OK, the run went through without faults"
                   : "the configuration was cancelled, nothing was saved";
    case 1:
      return "the run was ended by a failure or a missing file";
    case 2:
      return "the run went through, but faults were logged";
    default:
      return status > 128 ? "the program was killed by signal " + std::to_string(status - 128)
                          : "not a status the tool gives";
  }
}

// Lines appended to a log since the snapshot, readable (Windows-1252 to UTF-8, the
// line breaks inside composed messages shown as " / ").
std::vector<std::string> NewLogLines(const Versions& log) {
  if (!log.after) return {};
  std::string added = *log.after;
  if (log.before && added.compare(0, log.before->size(), *log.before) == 0) {
    added.erase(0, log.before->size());
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < added.size()) {
    std::size_t end = added.find("\r\n", start);
    if (end == std::string::npos) end = added.size();
    std::string line = Cp1252ToUtf8(added.substr(start, end - start));
    std::string readable;
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '\n' || line[i] == '\r') {
        if (readable.size() < 3 || readable.compare(readable.size() - 3, 3, " / ") != 0) {
          readable += " / ";
        }
      } else {
        readable += line[i];
      }
    }
    lines.push_back(readable);
    start = end + 2;
  }
  return lines;
}

std::vector<Row> PresetRows(const fs::path& database) {
  DemoDb db(database, false);
  if (!db.HasTable("PRESET_DEFS")) return {};
  std::string columns;
  for (const PresetColumn& c : PresetColumns()) {
    columns += (columns.empty() ? "" : ", ") + std::string("\"") + c.name + "\"";
  }
  return db.Select("SELECT " + columns + " FROM PRESET_DEFS ORDER BY rowid");
}

bool SameLimits(const Row& a, const Row& b) {
  for (const char* column : {"abs_min", "abs_max", "min", "max", "pass"}) {
    if (!SameValue(a[ColumnIndex(column)], b[ColumnIndex(column)])) return false;
  }
  return true;
}

using RowKey = std::tuple<std::string, std::string, std::string>;

RowKey KeyOf(const Row& row) {
  return {ValueText(row[ColumnIndex("machine_type")]), ValueText(row[ColumnIndex("var_name")]),
          ValueText(row[ColumnIndex("offset_or_bitno")])};
}

void DescribeDatabase(std::ostream& out, const fs::path& folder, const Versions& component,
                      const Versions& source) {
  const std::string componentName = kComponent;
  if (!component.Changed()) {
    out << "  PRESET_DEFS    the component database " << componentName << "/" << componentName
        << ".mdb is unchanged" << (source.Changed() ? " (the source database was changed)" : "")
        << "\n";
    return;
  }
  const fs::path componentPath = folder / componentName / (componentName + ".mdb");
  const std::vector<Row> rows = PresetRows(componentPath);
  std::vector<std::string> machines;
  for (const Row& row : rows) {
    const std::string m = ValueText(row[ColumnIndex("machine_type")]);
    if (std::find(machines.begin(), machines.end(), m) == machines.end()) machines.push_back(m);
  }
  std::string machineText;
  for (const std::string& m : machines)
    machineText += (machineText.empty() ? "\"" : ", \"") + m + "\"";
  out << "  PRESET_DEFS    " << rows.size() << " rows created";
  if (!machineText.empty()) out << " for " << machineText;
  if (!rows.empty()) {
    out << " (IDs " << ValueText(rows.front()[0]) << ".." << ValueText(rows.back()[0]) << ")";
  }
  out << "\n                 " << componentName << "/" << componentName << ".mdb "
      << (component.after == source.after ? "is now a copy of " + componentName + "_Source.mdb"
                                          : "differs from " + componentName + "_Source.mdb")
      << "\n";

  // Pair each new row with its row of the previous generation, as the takeover does.
  std::map<RowKey, Row> previous;
  if (component.before) {
    const fs::path copy = folder / kSnapshotFolder / "component.mdb";
    for (Row& row : PresetRows(copy)) previous.emplace(KeyOf(row), std::move(row));
  }
  std::vector<Row> templateRows;
  {
    DemoDb source(folder / componentName / (componentName + "_Source.mdb"), false);
    std::string columns;
    for (const PresetColumn& c : PresetColumns()) {
      columns += (columns.empty() ? "" : ", ") + std::string("\"") + c.name + "\"";
    }
    templateRows = source.Select("SELECT " + columns + " FROM Source_PRESET_DEFS ORDER BY rowid");
  }
  int takenOver = 0;
  int templateValues = 0;
  int other = 0;
  std::size_t paired = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto found = previous.find(KeyOf(rows[i]));
    if (found != previous.end()) ++paired;
    if (found != previous.end() && SameLimits(rows[i], found->second)) {
      ++takenOver;
    } else if (i < templateRows.size() && SameLimits(rows[i], templateRows[i])) {
      ++templateValues;
    } else {
      ++other;
    }
  }
  out << "  limits         " << takenOver
      << " rows took abs_min, abs_max, min, max and pass over from the previous generation\n"
      << "                 " << templateValues << " rows keep the template's values";
  if (other > 0) out << ", " << other << " rows hold other values";
  out << "\n";
  if (previous.size() > paired) {
    out << "                 " << previous.size() - paired
        << " rows of the previous generation have no counterpart and are gone\n";
  }
}

void DescribeProgramIni(std::ostream& out, const Versions& ini) {
  if (!ini.Changed()) {
    out << "  program.ini    parameter/Program.ini is unchanged\n";
    return;
  }
  const std::vector<IniSection> before = ParseIni(ini.before.value_or(""));
  const std::vector<IniSection> after = ParseIni(ini.after.value_or(""));
  const IniSection* info = FindSection(after, "Info");
  const std::size_t count = info == nullptr ? 0 : info->entries.size();
  std::vector<std::string> changes;
  if (info != nullptr) {
    for (const auto& [key, value] : info->entries) {
      const IniSection* old = FindSection(before, "Info");
      bool known = false;
      std::string oldValue;
      if (old != nullptr) {
        for (const auto& [k, v] : old->entries) {
          if (EqualsIgnoringAsciiCase(k, key)) {
            known = true;
            oldValue = v;
            break;
          }
        }
      }
      if (!known) {
        changes.push_back(key + " = " + value + " (new)");
      } else if (oldValue != value) {
        changes.push_back(key + ": " + oldValue + " -> " + value);
      }
    }
  }
  out << "  program.ini    parameter/Program.ini rewritten; [Info] holds " << count << " keys, "
      << changes.size() << (changes.size() == 1 ? " differs" : " differ") << " from before"
      << (changes.empty() ? "\n" : ":\n");
  for (const std::string& change : changes) out << "                   " << change << "\n";
}

void DescribeStamp(std::ostream& out, const Versions& cfg) {
  const std::vector<IniSection> after = ParseIni(cfg.after.value_or(""));
  if (IniValue(after, "Info", "S_Prog").empty()) {
    out << "  stamp          " << kComponent << ".cfg holds no stamp\n";
    return;
  }
  out << "  stamp          " << kComponent
      << ".cfg [Info] S_Prog=" << IniValue(after, "Info", "S_Prog")
      << ", S_Editor=" << IniValue(after, "Info", "S_Editor")
      << (cfg.Changed() ? "" : " (as before)") << "\n";
}

void DescribeLanguageFile(std::ostream& out, const Versions& language) {
  const std::string name = std::string(kProgramFolder) + "/" + kExecutableName + ".ini";
  if (!language.after) {
    out << "  language file  " << name << " does not exist\n";
    return;
  }
  std::size_t keys = 0;
  for (const IniSection& s : ParseIni(*language.after)) keys += s.entries.size();
  out << "  language file  " << name << " "
      << (!language.before     ? "created"
          : language.Changed() ? "changed"
                               : "unchanged")
      << ", " << keys << " keys\n";
}

void DescribeLog(std::ostream& out, const char* label, const std::string& name,
                 const Versions& log) {
  const std::vector<std::string> lines = NewLogLines(log);
  out << "  " << label << name << ": ";
  if (lines.empty()) {
    out << "no new lines\n";
    return;
  }
  out << lines.size() << (lines.size() == 1 ? " new line\n" : " new lines\n");
  constexpr std::size_t kShown = 8;
  for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) {
    std::string line = lines[i];
    if (line.size() > 160) line = line.substr(0, 157) + "...";
    out << "                   " << line << "\n";
  }
  if (lines.size() > kShown) out << "                   ...\n";
}

}  // namespace

void TakeSnapshot(const fs::path& folder) {
  const fs::path snapshot = folder / kSnapshotFolder;
  fs::remove_all(snapshot);
  fs::create_directories(snapshot);
  for (const Watched& w : WatchedFiles()) {
    if (fs::exists(folder / w.path)) {
      fs::copy_file(folder / w.path, snapshot / w.key, fs::copy_options::overwrite_existing);
    }
  }
}

std::string Summarize(const fs::path& folder, int exitStatus) {
  if (!fs::is_directory(folder / kSnapshotFolder)) {
    throw std::runtime_error(Utf8Of(folder) +
                             ": no demo project (or no snapshot taken before the run)");
  }
  std::ostringstream out;
  out << "What the run changed in " << Utf8Of(folder) << "\n";
  const Versions cfg = Compare(folder, "component.cfg");
  // Saving always stamps the ".cfg" file, even when the stamp stays the same.
  const fs::path cfgPath = folder / kComponent / (std::string(kComponent) + ".cfg");
  std::error_code noTime;
  const bool saved = cfg.Changed() || (fs::exists(cfgPath) &&
                                       fs::last_write_time(cfgPath, noTime) >
                                           fs::last_write_time(folder / kSnapshotFolder, noTime));
  out << "  exit status    " << exitStatus << ": " << ExitMeaning(exitStatus, saved) << "\n";
  DescribeDatabase(out, folder, Compare(folder, "component.mdb"), Compare(folder, "source.mdb"));
  DescribeProgramIni(out, Compare(folder, "Program.ini"));
  DescribeStamp(out, cfg);
  DescribeLanguageFile(out, Compare(folder, "language.ini"));
  DescribeLog(out, "error log      ", kErrorLog, Compare(folder, "errorlog.txt"));
  DescribeLog(out, "service log    ", kServicePackLog, Compare(folder, "servicepack.log"));
  const Versions copy = Compare(folder, "machinecopy.mdb");
  out << "  machine copy   " << kSaveRestoreFolder << "/" << kComponent << "/" << kComponent
      << ".mdb " << (copy.Changed() ? "WAS CHANGED" : "untouched") << "\n";
  return out.str();
}

}  // namespace velnor::demo
