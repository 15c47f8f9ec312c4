// What a parent program and its users rely on when things go wrong: runs at the same
// time, runs killed at any moment, and writes that fail. Each ends with every file in
// its old or its new state, and no run that lost something says it went through.
#include <sys/stat.h>

#include <chrono>
#include <map>
#include <set>
#include <thread>

#include "demo_fixture.h"

namespace velnor::e2e {
namespace {

using namespace std::chrono_literals;

// The files whose every state counts; the logs only grow, and the source database's
// preset table (with its journal) is the update's work table.
bool Watched(const fs::path& file) {
  const std::string name = file.filename().string();
  return name != "ZORcfglog.txt" && name.rfind("Widget_Source.mdb", 0) != 0 &&
         name != "Widget.mdb" && !InKeptGeneration(file);
}

bool IsTemporary(const fs::path& file) {
  return file.filename().string().find(".velnor-tmp.") != std::string::npos;
}

// Where the project has the file that a generation keeps under this name.
fs::path ProjectFileOf(const fs::path& kept) {
  const fs::path name = kept.filename();
  if (name == "Program.ini") return "parameter" / name;
  if (name == "Widget_Config.ini") return "Config" / name;
  return "Widget" / name;
}

class Robustness : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(project.ok());
    before = FilesBelow(project.base());
    const RunResult reference = project.RunSilent();
    ASSERT_EQ(reference.exitStatus, 0) << reference.Describe();
    undisturbed = reference.took;
    after = FilesBelow(project.base());
    afterTable = ReadTable(project.componentDb(), "PRESET_DEFS");
  }

  // Puts every file of the project back as it was before any run.
  void Restore() const {
    for (const auto& [file, state] : FilesBelow(project.base())) {
      if (before.count(file) == 0) fs::remove(project.base() / file);
    }
    for (const auto& [file, state] : before) WriteBytes(project.base() / file, state.bytes);
    fs::remove(project.servicePackLog());
  }

  // A kept file is a whole copy of its project file as it was before a run or after one.
  void ExpectKeptWhole() const {
    for (const auto& [file, state] : FilesBelow(project.base())) {
      if (!InKeptGeneration(file) || IsTemporary(file) || file.filename() == "Generation.ini")
        continue;
      const fs::path original = ProjectFileOf(file);
      if (before.count(original) > 0 && before.at(original).bytes == state.bytes) continue;
      // A database that a run left differs in its bytes from run to run: it holds the
      // rows of an undisturbed run.
      if (file.extension() == ".mdb") {
        const bool component = file.filename() == "Widget.mdb";
        const Table table =
            ReadTable(project.base() / file, component ? "PRESET_DEFS" : "Source_PRESET_DEFS");
        if (component) ExpectSameRows(table);
        continue;
      }
      EXPECT_TRUE(after.count(original) > 0 && after.at(original).bytes == state.bytes)
          << file << " is no copy of " << original;
    }
  }

  // Every watched file is as it was before the run or as an undisturbed run leaves it;
  // the component database is its old self or a copy of the rebuilt source database.
  void ExpectOldOrNew(const std::string& what) const {
    SCOPED_TRACE(what);
    ExpectKeptWhole();
    for (const auto& [file, state] : FilesBelow(project.base())) {
      if (!Watched(file) || IsTemporary(file)) continue;
      const bool old = before.count(file) > 0 && before.at(file).bytes == state.bytes;
      const bool renewed = after.count(file) > 0 && after.at(file).bytes == state.bytes;
      EXPECT_TRUE(old || renewed) << file << " is neither its old nor its new version";
    }
    const std::string component = ReadBytes(project.componentDb());
    if (component != before.at("Widget/Widget.mdb").bytes) {
      EXPECT_EQ(component, ReadBytes(project.sourceDb())) << "a torn component database";
      ExpectSameRows(ReadTable(project.componentDb(), "PRESET_DEFS"));
    }
  }

  void ExpectSameRows(const Table& table) const {
    ASSERT_EQ(table.rows.size(), afterTable.rows.size());
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
      for (std::size_t j = 0; j < table.columns.size(); ++j) {
        ASSERT_TRUE(SameValue(table.rows[i][j], afterTable.rows[i][j]))
            << "row " << i << " column " << table.columns[j];
      }
    }
  }

  // A run afterwards ends as an undisturbed run does and leaves no temporary file.
  void ExpectARerunToReachTheEnd(const std::string& what) const {
    SCOPED_TRACE(what);
    const RunResult rerun = project.RunSilent();
    ASSERT_EQ(rerun.exitStatus, 0) << rerun.Describe();
    for (const auto& [file, state] : FilesBelow(project.base())) {
      EXPECT_FALSE(IsTemporary(file)) << file;
      if (!Watched(file)) continue;
      ASSERT_EQ(after.count(file), 1u) << file << " is new";
      EXPECT_TRUE(after.at(file).bytes == state.bytes) << file;
    }
    ExpectSameRows(ReadTable(project.componentDb(), "PRESET_DEFS"));
  }

  DemoProject project{{"--rows", "2000"}};
  std::map<fs::path, FileState> before;
  std::map<fs::path, FileState> after;
  Table afterTable;
  std::chrono::milliseconds undisturbed{0};
};

TEST_F(Robustness, FourSilentRunsAtOnceEndAsOneUndisturbedRun) {
  Restore();
  std::vector<RunResult> results(4);
  std::vector<std::thread> runs;
  for (RunResult& result : results) runs.emplace_back([&] { result = project.RunSilent(); });
  for (std::thread& run : runs) run.join();
  for (const RunResult& result : results) EXPECT_EQ(result.exitStatus, 0) << result.Describe();
  ExpectKeptWhole();
  for (const auto& [file, state] : FilesBelow(project.base())) {
    if (!Watched(file)) continue;
    EXPECT_TRUE(after.count(file) > 0 && after.at(file).bytes == state.bytes) << file;
  }
  ExpectSameRows(ReadTable(project.componentDb(), "PRESET_DEFS"));
}

TEST_F(Robustness, ARunKilledAtAnyMomentLeavesOldOrNewFilesAndTheNextRunFinishes) {
  constexpr int kTrials = 12;
  for (int trial = 1; trial <= kTrials; ++trial) {
    Restore();
    RunOptions options = project.Unattended();
    options.killAfter =
        std::chrono::duration_cast<std::chrono::microseconds>(undisturbed) * trial / (kTrials + 1);
    const RunResult killed = RunProgram(project.tool(), {"/EXTERNAL=SILENT"}, options);
    const std::string what =
        "killed after " + std::to_string(options.killAfter->count()) + " us, " + killed.Describe();
    ExpectOldOrNew(what);
    ExpectARerunToReachTheEnd(what);
  }
}

#if !defined(__SANITIZE_ADDRESS__)
// The shim is preloaded into the tool; a sanitized tool must load its runtime first.
TEST_F(Robustness, AWriteFlushOrRenameThatFailsIsNeverReportedAsSuccess) {
  const fs::path report = project.scratch() / "fault.txt";
  const auto runWith = [&](const std::string& fault) {
    fs::remove(report);
    RunOptions options = project.Unattended();
    options.set["LD_PRELOAD"] = VELNOR_FAULT_SHIM;
    options.set["VELNOR_FAULT"] = fault;
    options.set["VELNOR_FAULT_REPORT"] = report.string();
    return RunProgram(project.tool(), {"/EXTERNAL=SILENT"}, options);
  };
  for (const std::string kind : {"write", "fsync", "rename"}) {
    Restore();
    runWith(kind + ":0");
    const std::string counted = ReadBytes(report);
    const long calls = std::atol(counted.substr(counted.rfind("calls ") + 6).c_str());
    ASSERT_GT(calls, 0) << kind << ": " << counted;
    // The first call, the last one and a spread between.
    std::set<long> picks = {1, calls};
    for (long i = 1; i <= 4; ++i) picks.insert(calls * i / 5);
    for (const long at : picks) {
      if (at < 1 || at > calls) continue;
      Restore();
      const RunResult run = runWith(kind + ":" + std::to_string(at));
      const std::string what =
          kind + " " + std::to_string(at) + " of " + std::to_string(calls) + ": " + run.Describe();
      ASSERT_NE(ReadBytes(report).find("fired"), std::string::npos) << what;
      EXPECT_NE(run.exitStatus, 0) << what;
      ExpectOldOrNew(what);
      ExpectARerunToReachTheEnd(what);
    }
  }
}
#endif

// A log that is a FIFO nothing reads would keep a run waiting in open() for ever, holding
// the component's lock, and every later run waiting behind it. Two runs at once, each with
// a fault to log, both end; the entries stand in the other log, which the pointer names.
struct BlockingLog {
  const char* name;
  fs::path (DemoProject::*fifo)() const;
  fs::path (DemoProject::*holder)() const;
};

class ALogThatBlocks : public ::testing::TestWithParam<BlockingLog> {
 protected:
  void SetUp() override { ASSERT_TRUE(project.ok()); }
  DemoProject project;
};

INSTANTIATE_TEST_SUITE_P(
    Logs, ALogThatBlocks,
    ::testing::Values(BlockingLog{"ErrorLog", &DemoProject::errorLog, &DemoProject::servicePackLog},
                      BlockingLog{"ServicePackLog", &DemoProject::servicePackLog,
                                  &DemoProject::errorLog}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(ALogThatBlocks, IsNotWaitedForAndTheEntryGoesToTheOtherLog) {
  const fs::path fifo = (project.*GetParam().fifo)();
  const fs::path holder = (project.*GetParam().holder)();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0) << fifo;
  WriteBytes(project.base() / "Standard" / "Warn_07_1280.bmp", "BM this is no picture");
  RunOptions options = project.Unattended();
  options.timeLimit = 60s;

  std::vector<RunResult> results(2);
  std::vector<std::thread> runs;
  for (RunResult& result : results) {
    runs.emplace_back([&] { result = RunProgram(project.tool(), {"/EXTERNAL=SILENT"}, options); });
  }
  for (std::thread& run : runs) run.join();

  for (const RunResult& run : results) {
    EXPECT_FALSE(run.timedOut) << run.Describe();
    EXPECT_EQ(run.exitStatus, 2) << run.Describe();
    EXPECT_NE(run.err.find(fifo.string() + "': it is a FIFO, not a regular file"),
              std::string::npos)
        << run.err;
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  const std::string held = ReadBytes(holder);
  EXPECT_NE(held.find("Fehler in Widget / "), std::string::npos) << held;
  EXPECT_NE(held.find("! Fault Widget_Config: Unexpected error!"), std::string::npos) << held;
  EXPECT_NE(held.find("Error logged to \n\r" + holder.string() + "\r\n"), std::string::npos)
      << held;
  EXPECT_EQ(held.find(fifo.string()), std::string::npos) << "the pointer names the FIFO\n" << held;
}

}  // namespace
}  // namespace velnor::e2e
