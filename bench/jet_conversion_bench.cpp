// Times the conversion of an Access (Jet 4) file whose table holds N rows: the whole of
// ConvertIfJet (reading, check, kept original, replacement) and, apart, the reading and
// writing of the SQLite file alone. The Jet file is made from testV2003.mdb beside the checkout.
//
//   jet_conversion_bench [N ...]     (default: 1000 8192 32767)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "errors/error_report.h"
#include "jet_synthetic.h"
#include "projectdb/jet/jet_conversion.h"
#include "projectdb/jet/jet_copy.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

double Seconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path jetFiles = VELNOR_JET_TESTDATA;
  if (!fs::exists(jetFiles / "testV2003.mdb")) {
    std::fprintf(stderr, "no Jet test files at %s\n", jetFiles.string().c_str());
    return 1;
  }
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 8192, 32767};

  const fs::path folder = fs::temp_directory_path() / "velnor-jet-bench";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const std::string log = (folder / "log.txt").string();
  const velnor::ReportScope report({true, "bench", "Widget", log, log});
  const std::string base = ReadAll(jetFiles / "testV2003.mdb");
  std::printf("     N | Jet file  | ConvertIfJet (best of 5) |    reading alone\n");
  for (const int rows : sizes) {
    const std::string jet = velnor::test::JetFileWithRows(base, rows);
    double whole = 1e9;
    double alone = 1e9;
    for (int run = 0; run < 5; ++run) {
      const fs::path file = folder / "Widget.mdb";
      fs::remove(file);
      fs::remove(folder / "Widget.mdb.jet");
      WriteAll(file, jet);
      auto started = std::chrono::steady_clock::now();
      velnor::ConvertIfJet(file.string());
      whole = std::min(whole, Seconds(std::chrono::steady_clock::now() - started));

      const fs::path out = folder / "alone.sqlite";
      fs::remove(out);
      started = std::chrono::steady_clock::now();
      velnor::jet::CopyJetToSqlite(jet, out.string(),
                                   velnor::jet::Deadline(std::chrono::seconds(60)));
      alone = std::min(alone, Seconds(std::chrono::steady_clock::now() - started));
    }
    std::printf("%6d | %6.2f MB | %20.3f s   | %19.3f s\n", rows, jet.size() / 1e6, whole, alone);
  }
  fs::remove_all(folder);
  return 0;
}
