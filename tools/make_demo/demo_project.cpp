#include "demo_project.h"

#include <array>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "gif_writer.h"
#include "ini_text.h"
#include "pictures.h"
#include "platform/fs_path.h"
#include "summary.h"

namespace velnor::demo {
namespace fs = std::filesystem;

namespace {

constexpr const char* kMarker = ".velnor-demo";
const std::array<const char*, kMaxMachines> kMachineNames = {
    "Filler", "Capper", "Labeler", "Packer", "Palletizer", "Wrapper", "Sorter"};

// One kind of variable; the template holds several numbered variables of each kind.
struct Family {
  const char* name;
  const char* text;  // "%d" stands for the variable's number within its kind
  const char* page;
  const char* unit;  // nullptr: no unit (stored as null)
  double absMin, absMax, min, max;
  int category;
  int type;
  bool bitArray;
};

const std::array<Family, 11> kFamilies = {{
    {"Speed", "Speed of ###machine, drive %d", "###machine drives", "mm/s", 0, 3000, 10, 2500, 1, 1,
     false},
    {"Temperature", "Temperatur ###machine Zone %d", "###machine Heizung",
     "\xC2\xB0"
     "C",
     -20, 250, 20, 180, 2, 1, false},
    {"Pressure", "Pressure of ###machine, circuit %d", "###machine pneumatics", "bar", 0, 16, 1, 10,
     3, 1, false},
    {"Fuellstand", "F\xC3\xBCllstand ###machine Tank %d", "###machine Tanks", "%", 0, 100, 5, 95, 4,
     1, false},
    {"Torque", "Torque ###Machine axis %d", "###machine drives", "Nm", 0, 120, 0, 80, 1, 1, false},
    {"Position", "Position ###machine axis %d", "###machine axes", "mm", -500, 500, -450, 450, 1, 1,
     false},
    {"Delay", "Delay ###machine step %d", "###machine timing", "ms", 0, 10000, 50, 5000, 5, 3,
     false},
    {"Counter", "Counter ###machine station %d", "###machine counters", "pcs", 0, 999999, 0, 100000,
     6, 3, false},
    {"Flow", "Flow ###machine valve %d", "###machine pneumatics", "l/min", 0, 400, 10, 300, 3, 1,
     false},
    {"Weight", "Weight ###machine scale %d", "###machine scales", "kg", 0, 50, 0.5, 25, 4, 1,
     false},
    {"Alarm", "Alarm ###machine group %d", "###machine alarms", nullptr, 0, 1, 0, 1, 5, 2, true},
}};

const std::array<const char*, 6> kCategories = {"Antriebe",
                                                "Temperaturen",
                                                "Dr\xC3\xBC"
                                                "cke",
                                                "F\xC3\xBCllst\xC3\xA4nde",
                                                "Zeiten",
                                                "Z\xC3\xA4hler"};

// The nearest of 1, 2 and 5 times a power of ten, so that limits read like ones a
// person set.
double RoundStep(double step) {
  if (step <= 0) return 0;
  // Only the basic operations, which every system rounds alike: std::pow and std::log10
  // of the C libraries differ in the last bit, and a demo made on Windows would then
  // differ from its twin made on Linux.
  int exponent = 0;
  double mantissa = step;
  for (; mantissa >= 10; mantissa /= 10) ++exponent;
  for (; mantissa < 1; mantissa *= 10) --exponent;
  double power = 1;
  for (int i = 0; i < (exponent < 0 ? -exponent : exponent); ++i) power *= 10;
  const double digit = mantissa < 1.5 ? 1 : mantissa < 3.5 ? 2 : mantissa < 7.5 ? 5 : 10;
  return exponent < 0 ? digit / power : digit * power;
}

std::string Format(const char* text, int number) {
  std::string out = text;
  if (const auto at = out.find("%d"); at != std::string::npos) {
    out.replace(at, 2, std::to_string(number));
  }
  return out;
}

std::string Padded(int number, int width) {
  std::string digits = std::to_string(number);
  return std::string(static_cast<std::size_t>(std::max(0, width - static_cast<int>(digits.size()))),
                     '0') +
         digits;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error(Utf8Of(path) + ": cannot be written");
}

void SaveBmp(const QImage& image, const fs::path& path) {
  fs::create_directories(path.parent_path());
  if (!image.save(QString::fromStdString(Utf8Of(path)), "BMP")) {
    throw std::runtime_error(Utf8Of(path) + ": the picture cannot be written");
  }
}

// Prepares the folder: a new or empty folder is used as it is, an earlier demo project
// is cleared; anything else is left alone, since it may be someone's work.
void PrepareFolder(const fs::path& folder) {
  if (fs::exists(folder) && !fs::is_directory(folder)) {
    throw std::runtime_error(Utf8Of(folder) + ": exists and is no folder");
  }
  if (fs::exists(folder) && !fs::is_empty(folder)) {
    if (!fs::exists(folder / kMarker)) {
      throw std::runtime_error(Utf8Of(folder) +
                               ": the folder is not empty and holds no demo project; name a new "
                               "or empty folder");
    }
    for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
  }
  fs::create_directories(folder);
  WriteBytes(folder / kMarker, "written by velnor_make_demo\n");
}

// The limits of a template row moved by step (a user narrowing the range on the panel),
// and its "pass" moved on by step levels.
void ShiftLimits(Row& row, int step) {
  double& absMin = std::get<double>(row[ColumnIndex("abs_min")]);
  double& absMax = std::get<double>(row[ColumnIndex("abs_max")]);
  double& min = std::get<double>(row[ColumnIndex("min")]);
  double& max = std::get<double>(row[ColumnIndex("max")]);
  const double by = step * RoundStep((max - min) / 40.0);
  absMin -= 2 * by;
  absMax += 2 * by;
  min += by;
  max -= by;
  Value& pass = row[ColumnIndex("pass")];
  const int level = std::stoi(std::get<std::string>(pass));
  pass = std::to_string((level - 1 + step) % 3 + 1);
}

std::string VisiWin32Pattern(int part) {
  for (const NamePattern& p : NamePatterns()) {
    if (EqualsIgnoringAsciiCase(p.system, "VISIWIN32") && p.part == part) return p.pattern;
  }
  return "";
}

// The rows that the tool made from the template for machine at its last update, before
// the template gained some variables, plus a few variables the template has since lost.
std::vector<Row> PreviousGeneration(const std::vector<Row>& templateRows,
                                    const std::string& machine, int step) {
  std::vector<Row> rows;
  const auto add = [&](Row row) {
    row[0] = static_cast<std::int64_t>(rows.size() + 1);
    const auto part = std::get<std::int64_t>(row[ColumnIndex("part")]);
    for (std::size_t c = 1; c < row.size(); ++c) {
      auto* text = std::get_if<std::string>(&row[c]);
      if (text == nullptr) continue;
      *text = PresetColumns()[c].name == std::string("var_name")
                  ? ComposeVarName(VisiWin32Pattern(static_cast<int>(part)), *text, machine)
                  : ReplaceFirst(*text, "###machine", machine);
    }
    ShiftLimits(row, step);
    rows.push_back(std::move(row));
  };
  for (std::size_t i = 0; i < templateRows.size(); ++i) {
    if (i % 10 != 6) add(templateRows[i]);
  }
  for (int k = 1; k <= 4 && !templateRows.empty(); ++k) {
    Row gone = templateRows[static_cast<std::size_t>(k - 1) % templateRows.size()];
    gone[ColumnIndex("var_name")] = "Obsolete_" + Padded(k, 3);
    gone[ColumnIndex("offset_or_bitno")] = static_cast<std::int64_t>(90000 + k);
    add(std::move(gone));
  }
  return rows;
}

std::string CreateTableSql(const std::string& table) {
  std::string sql = "CREATE TABLE \"" + table + "\" (";
  for (std::size_t i = 0; i < PresetColumns().size(); ++i) {
    sql += (i == 0 ? "" : ", ") + std::string(PresetColumns()[i].name) + " " +
           PresetColumns()[i].declaredType;
  }
  return sql + ")";
}

std::vector<Row> CategoryRows() {
  std::vector<Row> rows;
  for (std::size_t i = 0; i < kCategories.size(); ++i) {
    rows.push_back({static_cast<std::int64_t>(i + 1), std::string(kCategories[i])});
  }
  return rows;
}

void WriteSourceDatabase(const fs::path& path, const std::vector<Row>& templateRows,
                         const std::vector<Row>& lastUpdate) {
  DemoDb db(path, true);
  db.Exec("CREATE TABLE Source_DEFS (System VARCHAR(20), Part INTEGER, Var_Name VARCHAR(255))");
  std::vector<Row> patterns;
  for (const NamePattern& p : NamePatterns()) {
    patterns.push_back(
        {std::string(p.system), static_cast<std::int64_t>(p.part), std::string(p.pattern)});
  }
  db.Insert("Source_DEFS", patterns);
  db.Exec(CreateTableSql("Source_PRESET_DEFS"));
  db.Insert("Source_PRESET_DEFS", templateRows);
  // The table the tool rebuilt at its last update, still in the source database.
  db.Exec(CreateTableSql("PRESET_DEFS"));
  db.Insert("PRESET_DEFS", lastUpdate);
  db.Exec("CREATE TABLE CATEGORIES (category_id INTEGER, name VARCHAR(50))");
  db.Insert("CATEGORIES", CategoryRows());
}

void WriteComponentDatabase(const fs::path& path, const std::vector<Row>& rows) {
  DemoDb db(path, true);
  db.Exec(CreateTableSql("PRESET_DEFS"));
  db.Insert("PRESET_DEFS", rows);
  db.Exec("CREATE TABLE CATEGORIES (category_id INTEGER, name VARCHAR(50))");
  db.Insert("CATEGORIES", CategoryRows());
}

std::vector<IniSection> ProjectSettings(const std::vector<std::string>& machines,
                                        std::vector<std::pair<std::string, std::string>> info) {
  std::vector<IniSection> ini;
  ini.push_back({"Project",
                 {{"ProjectName", "Demo Abf\xC3\xBClllinie"},
                  {"NumberOfMachines", std::to_string(machines.size())},
                  {"Resolution", "1280"},
                  {"VWStudio", "false"}}});
  for (std::size_t m = 0; m < machines.size(); ++m) {
    ini.push_back({"Machine" + std::to_string(m + 1), {{"MachineName", machines[m]}}});
  }
  ini.push_back({"Info", std::move(info)});
  return ini;
}

// Stored choices: some point at pictures that do not exist (kept for buttons, dropped
// for warnings), one is written with leading zeros as hand-edited files are.
std::vector<std::pair<std::string, std::string>> ProjectChoices(
    const std::vector<std::string>& machines) {
  std::vector<std::pair<std::string, std::string>> info = {
      {"Button1", "5"},           {"Button2", "0003"},
      {"Button4", "2"},           {"StandardWarning1", "4107"},
      {"StandardWarning2", "33"}, {"StandardWarning3", "1"}};
  if (machines.size() >= 1) info.emplace_back("MachineWarning_" + machines[0] + "_1", "13");
  if (machines.size() >= 2) info.emplace_back("MachineWarning_" + machines[1] + "_1", "2");
  return info;
}

std::vector<std::pair<std::string, std::string>> SavedChoices(
    const std::vector<std::string>& machines) {
  std::vector<std::pair<std::string, std::string>> info = {
      {"Button1", "3"}, {"StandardWarning1", "7"}, {"StandardWarning2", "0"}};
  if (!machines.empty()) info.emplace_back("MachineWarning_" + machines[0] + "_1", "3");
  return info;
}

}  // namespace

const std::vector<PresetColumn>& PresetColumns() {
  static const std::vector<PresetColumn> columns = {{"ID", "INTEGER"},
                                                    {"machine_type", "VARCHAR(50)"},
                                                    {"type", "INTEGER"},
                                                    {"part", "INTEGER"},
                                                    {"var_name", "VARCHAR(255)"},
                                                    {"category_id", "INTEGER"},
                                                    {"isBitArray", "INTEGER"},
                                                    {"offset_or_bitno", "INTEGER"},
                                                    {"text", "VARCHAR(255)"},
                                                    {"page_name", "VARCHAR(100)"},
                                                    {"abs_min", "REAL"},
                                                    {"abs_max", "REAL"},
                                                    {"min", "REAL"},
                                                    {"max", "REAL"},
                                                    {"pass", "VARCHAR(50)"},
                                                    {"unit", "VARCHAR(20)"}};
  return columns;
}

std::size_t ColumnIndex(const std::string& name) {
  for (std::size_t i = 0; i < PresetColumns().size(); ++i) {
    if (name == PresetColumns()[i].name) return i;
  }
  throw std::logic_error("no preset column " + name);
}

const std::vector<NamePattern>& NamePatterns() {
  static const std::vector<NamePattern> patterns = {
      {"VISIWIN32", 1, "###Var_Name"},
      {"VISIWIN32", 2, "M###machine.###Var_Name"},
      {"VISIWIN32", 3, "M###machine.Axis.###Var_Name"},
      {"VISIWIN32", 4, "Line.###Var_Name"},
      {"VisiWinStudio", 1, "###Var_Name"},
      {"VisiWinStudio", 2, "Machine.###machine.###Var_Name"},
      {"VisiWinStudio", 3, "Machine.###machine.Axis.###Var_Name"},
      {"VisiWinStudio", 4, "Ns1.Line.###Var_Name"}};
  return patterns;
}

std::vector<std::string> MachineNames(int count) {
  std::vector<std::string> names;
  for (int m = 0; m < count && m < kMaxMachines; ++m) {
    names.emplace_back(kMachineNames[static_cast<std::size_t>(m)]);
  }
  return names;
}

std::vector<int> MachineWarningNumbers(int machine) {
  switch (machine) {
    case 1:
      return {1, 2, 3, 5};
    case 2:
      return {1, 2, 4};
    case 3:
      return {1, 2, 3, 4, 6};
    default:
      return {1, 2 + machine % 3};
  }
}

std::vector<Row> TemplateRows(int count) {
  std::vector<Row> rows;
  for (int i = 1; i <= count; ++i) {
    const Family& f = kFamilies[static_cast<std::size_t>(i - 1) % kFamilies.size()];
    const int k = (i - 1) / static_cast<int>(kFamilies.size()) + 1;  // number within the kind
    const double spread = f.bitArray ? 0.0 : (k % 4) * RoundStep((f.max - f.min) / 20.0);
    rows.push_back({
        static_cast<std::int64_t>(1000 + i),                           // ID, rewritten by the tool
        std::string("###machine"),                                     // machine_type
        static_cast<std::int64_t>(f.type),                             // type
        static_cast<std::int64_t>(1 + (i - 1) % 4),                    // part
        std::string(f.name) + "_" + Padded(k, 3),                      // var_name
        static_cast<std::int64_t>(f.category),                         // category_id
        static_cast<std::int64_t>(f.bitArray ? 1 : 0),                 // isBitArray
        static_cast<std::int64_t>(f.bitArray ? (k - 1) % 16 : 2 * i),  // offset_or_bitno
        Format(f.text, k),                                             // text
        std::string(f.page),                                           // page_name
        f.absMin,                                                      // abs_min
        f.absMax,                                                      // abs_max
        f.min + spread / 2,                                            // min
        f.max - spread,                                                // max
        std::to_string(1 + i % 3),                                     // pass
        f.unit == nullptr ? Value{} : Value{std::string(f.unit)},      // unit
    });
  }
  return rows;
}

std::string ReplaceFirst(const std::string& text, const std::string& placeholder,
                         const std::string& replacement) {
  if (placeholder.empty() || placeholder.size() > text.size()) return text;
  for (std::size_t at = 0; at + placeholder.size() <= text.size(); ++at) {
    if (EqualsIgnoringAsciiCase(std::string_view(text).substr(at, placeholder.size()),
                                placeholder)) {
      return text.substr(0, at) + replacement + text.substr(at + placeholder.size());
    }
  }
  return text;
}

std::string ComposeVarName(const std::string& pattern, const std::string& varName,
                           const std::string& machine) {
  std::string name = ReplaceFirst(pattern, "###Var_Name", varName);
  name = ReplaceFirst(name, "###machine", machine);
  return ReplaceFirst(name, "###machine", machine);
}

DemoContents WriteDemoProject(const fs::path& folder, const fs::path& executable,
                              const DemoOptions& options) {
  if (options.machines < 0 || options.machines > kMaxMachines) {
    throw std::runtime_error("the demo line has 0 to " + std::to_string(kMaxMachines) +
                             " machines");
  }
  if (options.rows < 0 || options.rows > kMaxRows) {
    throw std::runtime_error("the template has 0 to " + std::to_string(kMaxRows) + " rows");
  }
  if (!executable.empty() && !fs::is_regular_file(executable)) {
    throw std::runtime_error(Utf8Of(executable) + ": no such program file");
  }
  PrepareFolder(folder);

  DemoContents contents;
  contents.machines = MachineNames(options.machines);
  std::vector<std::string> allNames = MachineNames(kMaxMachines);
  if (!options.firstMachine.empty()) {
    allNames[0] = options.firstMachine;
    if (!contents.machines.empty()) contents.machines[0] = options.firstMachine;
  }
  const std::string firstMachine = allNames[0];
  const fs::path saveRestore = folder / kSaveRestoreFolder;

  // The line.
  std::vector<std::pair<std::string, std::string>> common = {
      {"LineName", "Abf\xC3\xBCllanlage Linie 3"}, {"SaveAndRestore", Utf8Of(saveRestore)}};
  for (std::size_t m = 0; m < 5; ++m) {
    common.emplace_back("NameM" + std::to_string(m + 1),
                        m < contents.machines.size() ? contents.machines[m] : "-");
  }
  WriteBytes(folder / "parameter" / "zorconfiguration.ini", IniBytes({{"Common", common}}));
  WriteBytes(folder / "parameter" / "Program.ini",
             IniBytes(ProjectSettings(contents.machines, ProjectChoices(contents.machines))));
  WriteBytes(saveRestore / "parameter" / "program.ini",
             IniBytes(ProjectSettings(contents.machines, SavedChoices(contents.machines))));

  // The component.
  const fs::path componentFolder = folder / kComponent;
  WriteBytes(componentFolder / (std::string(kComponent) + ".cfg"),
             IniBytes({{"Project",
                        {{"ValidMachines", allNames[0] + "," + allNames[1]},
                         {"ForMachine1", "true"},
                         {"DataBaseAdditionalFields", "unit"}}}}));
  const std::vector<Row> templateRows = TemplateRows(options.rows);
  const std::vector<Row> previous = PreviousGeneration(templateRows, firstMachine, 1);
  const std::vector<Row> machineCopy = PreviousGeneration(templateRows, firstMachine, 2);
  WriteSourceDatabase(componentFolder / (std::string(kComponent) + "_Source.mdb"), templateRows,
                      previous);
  WriteComponentDatabase(componentFolder / (std::string(kComponent) + ".mdb"), previous);
  fs::create_directories(saveRestore / kComponent);
  WriteComponentDatabase(saveRestore / kComponent / (std::string(kComponent) + ".mdb"),
                         machineCopy);
  contents.templateRows = static_cast<int>(templateRows.size());
  contents.previousRows = static_cast<int>(previous.size());
  contents.machineCopyRows = static_cast<int>(machineCopy.size());

  // The pictures.
  const fs::path programFolder = folder / kProgramFolder;
  fs::create_directories(programFolder);
  for (int n = 1; n <= kInfoButtons; ++n) {
    WriteBytes(programFolder / ("Info_Button_" + Padded(n, 3) + "_800.gif"),
               EncodeGif(DrawInfoButton(n)));
  }
  contents.infoButtons = kInfoButtons;
  const fs::path standard = folder / "Standard";
  for (int n = 1; n <= kStandardWarnings; ++n) {
    SaveBmp(DrawWarning(n, 0), standard / ("Warn_" + Padded(n, 2) + "_1280.bmp"));
  }
  contents.standardWarnings = kStandardWarnings;
  for (std::size_t m = 0; m < contents.machines.size(); ++m) {
    const int machine = static_cast<int>(m) + 1;
    const std::vector<int> numbers = MachineWarningNumbers(machine);
    for (int n : numbers) {
      SaveBmp(DrawWarning(n, machine),
              standard / FsPath("Warn_" + Padded(n, 2) + "_" + contents.machines[m] + "_1280.bmp"));
    }
    contents.machineWarnings.emplace_back(contents.machines[m], static_cast<int>(numbers.size()));
  }

  // The tool, named after the component it configures.
  if (!executable.empty()) {
    // It keeps its extension: Windows starts only a file named ".exe" as a program.
    fs::path target = programFolder / kExecutableName;
    target += executable.extension();
    fs::copy_file(executable, target, fs::copy_options::overwrite_existing);
    fs::permissions(target,
                    fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                        fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::replace);
    contents.executable = target;
  }

  TakeSnapshot(folder);
  return contents;
}

std::string DescribeDemo(const fs::path& folder, const DemoContents& c) {
  std::ostringstream out;
  std::string machines;
  for (const std::string& m : c.machines) machines += (machines.empty() ? "" : ", ") + m;
  std::string warnings;
  for (const auto& [machine, count] : c.machineWarnings) {
    warnings += (warnings.empty() ? "" : ", ") + machine + " " + std::to_string(count);
  }
  const auto line = [&](const std::string& path, const std::string& what) {
    out << "  " << path << std::string(path.size() < 32 ? 32 - path.size() : 1, ' ') << what
        << "\n";
  };
  out << "Demo project written to " << Utf8Of(folder) << "\n";
  line("parameter/zorconfiguration.ini", "line of " + std::to_string(c.machines.size()) +
                                             " machines" +
                                             (machines.empty() ? "" : ": " + machines) +
                                             "; save-and-restore folder " + kSaveRestoreFolder);
  line("parameter/Program.ini", "resolution 1280, VisiWin32 names, stored choices in [Info]");
  line(std::string(kComponent) + "/" + kComponent + ".cfg",
       "valid for Filler,Capper; ForMachine1=true; additional field unit");
  line(std::string(kComponent) + "/" + kComponent + "_Source.mdb",
       "Source_DEFS: " + std::to_string(NamePatterns().size()) +
           " name patterns; Source_PRESET_DEFS: " + std::to_string(c.templateRows) +
           " template rows");
  line(std::string(kComponent) + "/" + kComponent + ".mdb",
       "previous generation: " + std::to_string(c.previousRows) +
           " rows for Filler, limits changed on the panel");
  line(std::string(kSaveRestoreFolder) + "/" + kComponent + "/" + kComponent + ".mdb",
       "machine copy: " + std::to_string(c.machineCopyRows) + " rows with other limits");
  line(std::string(kProgramFolder) + "/Info_Button_*_800.gif",
       std::to_string(c.infoButtons) + " info buttons");
  line("Standard/Warn_*_1280.bmp", std::to_string(c.standardWarnings) + " standard warnings" +
                                       (warnings.empty() ? "" : "; machine warnings: " + warnings));
  if (!c.executable.empty()) {
    line(std::string(kProgramFolder) + "/" + Utf8Of(c.executable.filename()),
         "the tool for component Widget");
  }
  return out.str();
}

}  // namespace velnor::demo
