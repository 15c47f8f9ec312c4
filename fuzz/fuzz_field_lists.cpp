// The comma-separated field list of the ".cfg" file: the names, joined with commas
// again, give the list back, and none of them holds a comma.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "projectdb/field_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view list(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> names = velnor::SplitFieldList(list);
  VELNOR_FUZZ_CHECK(!names.empty());
  std::string joined;
  for (std::size_t i = 0; i < names.size(); ++i) {
    VELNOR_FUZZ_CHECK(names[i].find(',') == std::string::npos);
    if (i > 0) joined += ',';
    joined += names[i];
  }
  VELNOR_FUZZ_CHECK(joined == list);
  return 0;
}
