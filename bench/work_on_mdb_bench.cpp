// Times the project database update (WorkOnMDB) on generated projects whose template
// and previous table hold N rows that all match, next to a floor measured in the same
// run: one transaction inserting N such rows into a fresh table, and an atomic copy of
// the resulting file. Each measurement runs in a process of its own, so that its peak
// memory (ru_maxrss) is its own.
//
//   work_on_mdb_bench [N ...]      (default: 1000 8192 10000 32767)
//
// Two updates are measured per N: "renamed", where every previous row carries the
// other naming system's name and is converted before it is matched (the most work),
// and "current", where the previous names are already those of the current system.
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/run_state.h"
#include "errors/error_report.h"
#include "platform/files.h"
#include "platform/pending_messages.h"
#include "projectdb/work_on_mdb.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kColumns =
    "ID INTEGER, machine_type VARCHAR(50), type INTEGER, part INTEGER, var_name VARCHAR(100), "
    "category_id INTEGER, isBitArray INTEGER, offset_or_bitno INTEGER, text VARCHAR(255), "
    "page_name VARCHAR(50), abs_min REAL, abs_max REAL, min REAL, max REAL, pass VARCHAR(20)";
constexpr const char* kInsert =
    "INSERT INTO %s VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)";

struct Measurement {
  double seconds = 0;
  double cpuSeconds = 0;
  double peakMiB = 0;
};

// Time on the processor and wall time of one piece of work.
struct Timed {
  double seconds = 0;
  double cpuSeconds = 0;
};

struct Closer {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, Closer>;

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "bench: %s\n", what.c_str());
  std::exit(3);
}

void Exec(sqlite3* db, const std::string& sql);

// A connection set up as the update sets up its own (one thread, the same page cache),
// so that the floor is measured under the same conditions: with the engine's default
// cache of 2 MiB, a table of 32,767 rows would spill into the file before the commit
// and the floor would pay for journal syncs that the update does not.
Connection Create(const fs::path& path) {
  sqlite3* raw = nullptr;
  if (sqlite3_open_v2(path.c_str(), &raw,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    Die("cannot create " + path.string());
  }
  Connection db(raw);
  Exec(db.get(), "PRAGMA cache_size = -32768");
  return db;
}

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    Die(std::string(error != nullptr ? error : "?") + " in " + sql);
  }
}

// Inserts n preset rows into table; varName(i) names row i, limit the limits' base.
void InsertRows(sqlite3* db, const char* table, int n,
                const std::function<std::string(int)>& varName, double limit, const char* pass) {
  char sql[256];
  std::snprintf(sql, sizeof sql, kInsert, table);
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) Die(sqlite3_errmsg(db));
  for (int i = 1; i <= n; ++i) {
    const std::string name = varName(i);
    const std::string text = "Text of ###machine number " + std::to_string(i);
    sqlite3_bind_int(s, 1, i);
    sqlite3_bind_text(s, 2, "Filler", -1, SQLITE_STATIC);
    sqlite3_bind_int(s, 3, i % 7);
    sqlite3_bind_int(s, 4, 1);
    sqlite3_bind_text(s, 5, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 6, i % 13);
    sqlite3_bind_int(s, 7, i % 2);
    sqlite3_bind_int(s, 8, i);
    sqlite3_bind_text(s, 9, text.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 10, "Page ###machine", -1, SQLITE_STATIC);
    for (int k = 0; k < 4; ++k) sqlite3_bind_double(s, 11 + k, limit + k + i * 0.5);
    sqlite3_bind_text(s, 15, pass, -1, SQLITE_STATIC);
    if (sqlite3_step(s) != SQLITE_DONE) Die(sqlite3_errmsg(db));
    sqlite3_reset(s);
  }
  sqlite3_finalize(s);
}

fs::path FreshFolder() {
  std::random_device random;
  const fs::path folder = fs::temp_directory_path() /
                          ("velnor_bench_" + std::to_string(random()) + std::to_string(random()));
  fs::create_directories(folder);
  return folder;
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double CpuSeconds() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The floor: what any update of n rows must at least do.
Timed MeasureFloor(int n) {
  const fs::path folder = FreshFolder();
  const auto start = std::chrono::steady_clock::now();
  const double cpuBefore = CpuSeconds();
  {
    Connection db = Create(folder / "floor.mdb");
    Exec(db.get(), "BEGIN");
    Exec(db.get(), std::string("CREATE TABLE PRESET_DEFS (") + kColumns + ")");
    InsertRows(
        db.get(), "PRESET_DEFS", n, [](int i) { return "Filler.Var" + std::to_string(i); }, 0,
        "tpl");
    Exec(db.get(), "COMMIT");
  }
  if (!velnor::CopyFileAtomically((folder / "floor.mdb").string(),
                                  (folder / "copy.mdb").string())) {
    Die("copy failed");
  }
  const Timed timed{Seconds(start), CpuSeconds() - cpuBefore};
  fs::remove_all(folder);
  return timed;
}

// The update of a generated project with n template rows and n previous rows.
Timed MeasureUpdate(int n, bool renamed) {
  const fs::path base = FreshFolder();
  const fs::path component = base / "Widget";
  fs::create_directories(base / "Config");
  fs::create_directories(base / "parameter");
  fs::create_directories(component);
  WriteText(component / "Widget.cfg", "[Project]\r\nForMachine1=true\r\n");
  {
    Connection source = Create(component / "Widget_Source.mdb");
    Exec(source.get(), "BEGIN");
    Exec(source.get(),
         "CREATE TABLE Source_DEFS (System VARCHAR(20), Part INTEGER, Var_Name VARCHAR(100));"
         "INSERT INTO Source_DEFS VALUES ('VISIWIN32', 1, '###machine.###Var_Name'),"
         " ('VISIWINSTUDIO', 1, 'Ns.###machine.###Var_Name');");
    Exec(source.get(), std::string("CREATE TABLE Source_PRESET_DEFS (") + kColumns + ")");
    InsertRows(
        source.get(), "Source_PRESET_DEFS", n, [](int i) { return "Var" + std::to_string(i); }, 0,
        "tpl");
    Exec(source.get(), "COMMIT");
    Connection previous = Create(component / "Widget.mdb");
    Exec(previous.get(), "BEGIN");
    Exec(previous.get(), std::string("CREATE TABLE PRESET_DEFS (") + kColumns + ")");
    InsertRows(
        previous.get(), "PRESET_DEFS", n,
        [renamed](int i) { return (renamed ? "Ns.Filler.Var" : "Filler.Var") + std::to_string(i); },
        100, "user");
    Exec(previous.get(), "COMMIT");
  }

  velnor::ProcessFacts facts;
  facts.executableFolder = (base / "Config").string();
  facts.executableFileName = "Widget_Config";
  facts.executableBaseName = "Widget_Config";
  ::setenv("QUARN_SERVICEPACK_LOG", (base / "servicepack.log").c_str(), 1);
  velnor::RunState run = velnor::StartRun(facts);
  run.machines = {"", "Filler"};
  const velnor::ReportScope report(velnor::ReportContextOf(run));
  // The window processes its messages while the update runs.
  long messages = 0;
  velnor::SetPendingMessagesHook([&messages] { ++messages; });

  const auto start = std::chrono::steady_clock::now();
  const double cpuBefore = CpuSeconds();
  velnor::WorkOnMDB(run);
  const Timed timed{Seconds(start), CpuSeconds() - cpuBefore};

  if (report.anyFailureReported()) Die("the update reported failures; see " + base.string());
  Connection result = Create(component / "Widget.mdb");
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(result.get(), "SELECT count(*) FROM PRESET_DEFS WHERE pass = 'user'", -1, &s,
                     nullptr);
  sqlite3_step(s);
  const int takenOver = sqlite3_column_int(s, 0);
  sqlite3_finalize(s);
  result.reset();
  if (takenOver != n)
    Die("only " + std::to_string(takenOver) + " of " + std::to_string(n) + " rows taken over");
  fs::remove_all(base);
  return timed;
}

// Runs work in a child process and returns its time and peak memory.
Measurement InChild(const std::function<Timed()>& work) {
  int channel[2];
  if (::pipe(channel) != 0) Die("pipe");
  const pid_t child = ::fork();
  if (child < 0) Die("fork");
  if (child == 0) {
    ::close(channel[0]);
    const Timed timed = work();
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    const Measurement m{timed.seconds, timed.cpuSeconds,
                        static_cast<double>(usage.ru_maxrss) / 1024.0};
    if (::write(channel[1], &m, sizeof m) != static_cast<ssize_t>(sizeof m)) std::_Exit(4);
    std::_Exit(0);
  }
  ::close(channel[1]);
  Measurement m;
  const bool complete = ::read(channel[0], &m, sizeof m) == static_cast<ssize_t>(sizeof m);
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!complete || !WIFEXITED(status) || WEXITSTATUS(status) != 0) Die("a measurement failed");
  return m;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes = {1000, 8192, 10000, 32767};
  if (argc > 1) {
    sizes.clear();
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  }
  std::printf("Each: wall time / processor time / peak memory of its process.\n");
  std::printf("%6s | %-30s | %-30s | %-30s | %s\n", "N", "update, every name converted",
              "update, names already current", "floor", "update / floor");
  std::vector<Measurement> renamedRuns;
  for (const int n : sizes) {
    const Measurement floor = InChild([n] { return MeasureFloor(n); });
    const Measurement renamed = InChild([n] { return MeasureUpdate(n, true); });
    const Measurement current = InChild([n] { return MeasureUpdate(n, false); });
    renamedRuns.push_back(renamed);
    const auto print = [](const Measurement& m) {
      std::printf("%6.3f s / %6.3f s / %5.1f MiB | ", m.seconds, m.cpuSeconds, m.peakMiB);
    };
    std::printf("%6d | ", n);
    print(renamed);
    print(current);
    print(floor);
    std::printf("%.1f / %.1f\n", renamed.seconds / floor.seconds, current.seconds / floor.seconds);
    std::fflush(stdout);
  }
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    for (std::size_t j = 0; j < sizes.size(); ++j) {
      if (sizes[i] == 8192 && sizes[j] == 32767) {
        std::printf("growth of the update from 8192 to 32767 rows: %.2f (linear: about 4)\n",
                    renamedRuns[j].seconds / renamedRuns[i].seconds);
      }
    }
  }
  return 0;
}
