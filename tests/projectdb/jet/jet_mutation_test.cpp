// Damaged copies of the public Jet files: each is converted or refused, never a crash or
// a hang, and a refused file stays exactly as it was. The damage is drawn from a seeded
// generator, so a failing copy can be made again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "errors/error_report.h"
#include "errors/failure.h"
#include "projectdb/jet/jet_conversion.h"
#include "support/test_project.h"
#include "support/test_report.h"

namespace velnor {
namespace {

namespace fs = std::filesystem;
using test::TestProject;

const fs::path kJetFiles = VELNOR_JET_TESTDATA;
constexpr int kCopies = 120;

enum class Damage { CutAtAPage, PageOfNoise, PageHeaderOverwritten, PagePointerBent };

std::uint32_t Get32(const std::string& b, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(b[at + i]);
  return value;
}

void Put(std::string& b, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// The damaged bytes, and what was done, for the trace.
std::string Damaged(std::string bytes, Damage damage, std::mt19937& random, std::string& what) {
  const bool jet4 = bytes[0x14] == 1;
  const std::size_t pageSize = jet4 ? 4096 : 2048;
  const std::size_t pages = bytes.size() / pageSize;
  const auto pick = [&](std::size_t below) {
    return std::uniform_int_distribution<std::size_t>(0, below - 1)(random);
  };
  const std::size_t page = 1 + pick(pages - 1);
  const std::size_t base = page * pageSize;
  switch (damage) {
    case Damage::CutAtAPage:
      what = "cut before page " + std::to_string(page);
      bytes.resize(base);
      break;
    case Damage::PageOfNoise:
      what = "noise over page " + std::to_string(page);
      for (std::size_t i = 0; i < pageSize; ++i) bytes[base + i] = static_cast<char>(random());
      break;
    case Damage::PageHeaderOverwritten:
      what = "noise over the header of page " + std::to_string(page);
      for (std::size_t i = 0; i < 16; ++i) bytes[base + i] = static_cast<char>(random());
      break;
    case Damage::PagePointerBent: {
      // A definition's next page or page map, or a row's offset (with its flags), on the
      // first such page from a random one on.
      std::size_t target = page;
      while (target + 1 < pages && bytes[target * pageSize] != 1 && bytes[target * pageSize] != 2) {
        ++target;
      }
      const std::size_t at = target * pageSize;
      const std::uint32_t bentPage = static_cast<std::uint32_t>(pick(pages + 8));
      if (bytes[at] == 2) {
        const std::size_t field = random() % 2 == 0 ? 4 : (jet4 ? 55 : 35);
        const std::uint32_t value = field == 4 ? bentPage : bentPage << 8 | (random() % 4);
        what = "pointer at offset " + std::to_string(field) + " of definition page " +
               std::to_string(target) + " bent from " + std::to_string(Get32(bytes, at + field)) +
               " to " + std::to_string(value);
        Put(bytes, at + field, value, 4);
      } else {
        const std::size_t rowCountAt = jet4 ? 12 : 8;
        const std::size_t row = pick(4);
        what =
            "offset of row " + std::to_string(row) + " on page " + std::to_string(target) + " bent";
        Put(bytes, at + rowCountAt + 2 + 2 * row, static_cast<std::uint32_t>(random()), 2);
      }
      break;
    }
  }
  return bytes;
}

TEST(JetMutation, EveryDamagedCopyIsConvertedOrRefusedAndARefusedOneStaysAsItIs) {
  if (!fs::is_directory(kJetFiles)) GTEST_SKIP() << "no Jet test files at " << kJetFiles;
  std::vector<std::string> originals;
  for (const auto& entry : fs::directory_iterator(kJetFiles)) {
    if (entry.path().extension() == ".mdb") originals.push_back(entry.path().string());
  }
  std::sort(originals.begin(), originals.end());
  ASSERT_FALSE(originals.empty());

  TestProject project;
  test::TestReport report{project, /*silent=*/true};
  std::mt19937 random(20261208);
  int refused = 0;
  for (int copy = 0; copy < kCopies; ++copy) {
    const std::string& original = originals[static_cast<std::size_t>(copy) % originals.size()];
    std::string what;
    const std::string bytes =
        Damaged(TestProject::Read(original), static_cast<Damage>(copy % 4), random, what);
    SCOPED_TRACE(fs::path(original).filename().string() + ", " + what);
    const fs::path file = project.componentFolder() / ("copy" + std::to_string(copy) + ".mdb");
    TestProject::Write(file, bytes);
    try {
      EXPECT_EQ(ConvertIfJet(file.string()), file.string() + ".jet");
      EXPECT_EQ(TestProject::Read(file.string() + ".jet"), bytes);
    } catch (const Failure& failure) {
      ++refused;
      EXPECT_NE(failure.description().find(file.string()), std::string::npos);
      EXPECT_EQ(TestProject::Read(file), bytes);
      EXPECT_FALSE(fs::exists(file.string() + ".jet"));
    }
  }
  // Damage where nothing is read (a page no table uses, the end of the file after the
  // last page in use) changes nothing that is converted; the rest is found.
  EXPECT_GT(refused, kCopies / 4);
}

}  // namespace
}  // namespace velnor
