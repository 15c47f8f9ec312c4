// The update of a project brought over from Windows whose machine copy is an Access
// (Jet) file: it is copied over the component database as any machine copy, converted
// there, and never written itself.
#include <filesystem>

#include "projectdb/projectdb_fixture.h"
#include "projectdb/work_on_mdb.h"

namespace velnor::test {
namespace {

const fs::path kJetFiles = VELNOR_JET_TESTDATA;

class JetUpdate : public ProjectDbTest {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kJetFiles)) GTEST_SKIP() << "no Jet test files at " << kJetFiles;
  }
};

TEST_F(JetUpdate, AnIntegratedRunConvertsTheCopiedMachineCopyAndNeverWritesIt) {
  const fs::path backup = project.base() / "backup";
  const fs::path machineCopy = backup / "Widget" / "Widget.mdb";
  fs::create_directories(machineCopy.parent_path());
  TestProject::Write(project.parameterFolder() / "zorconfiguration.ini",
                     "[Common]\r\nSaveAndRestore=" + backup.string() + "\r\nNameM1=Filler\r\n");
  SetCommandLine("/EXTERNAL=ZORCFG");
  run.FindFiles();
  WriteCfg({"ValidMachines=ALL"});
  WriteSource({"'VISIWIN32', 1, '###machine.###Var_Name'"}, kPresetColumns, {});
  WriteComponent(kPresetColumns, {});
  const std::string jet = TestProject::Read(kJetFiles / "delTestV2003.mdb");
  TestProject::Write(machineCopy, jet);

  WorkOnMDB(run);

  EXPECT_EQ(TestProject::Read(machineCopy), jet);
  EXPECT_EQ(TestProject::Read(ComponentDb().string() + ".jet"), jet);
  EXPECT_EQ(TestProject::Read(ComponentDb()), TestProject::Read(SourceDb()));
  const std::string log = ErrorLog();
  EXPECT_NE(log.find(ComponentDb().string() + "' converted to SQLite"), std::string::npos) << log;
  EXPECT_EQ(log.find("is not converted"), std::string::npos) << log;
}

}  // namespace
}  // namespace velnor::test
