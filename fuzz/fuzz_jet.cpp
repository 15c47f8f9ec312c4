// The Jet reader on any bytes: every table and every row of a file it accepts is read
// without a crash, a hang or a read beyond the bytes; anything else it refuses with a
// Failure. Seeded with small public Jet 3 and Jet 4 files.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "errors/failure.h"
#include "fuzz_check.h"
#include "projectdb/jet/jet_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Far below libFuzzer's own limit for a hang, so that a loop the checks miss ends here.
  const velnor::jet::Deadline deadline(std::chrono::seconds(5));
  try {
    const velnor::jet::JetDatabase database(bytes, deadline);
    for (const velnor::jet::TableDefinition& table : database.Tables()) {
      std::size_t values = 0;
      const std::int64_t rows =
          database.ReadRows(table, [&](const std::vector<velnor::db::Value>& row) {
            VELNOR_FUZZ_CHECK(row.size() == table.columns.size());
            values += row.size();
          });
      VELNOR_FUZZ_CHECK(values == static_cast<std::size_t>(rows) * table.columns.size());
    }
  } catch (const velnor::Failure&) {
    // A refused file: what the reader is for.
  }
  return 0;
}
