#include "projectdb/jet/jet_usage_map.h"

#include <set>

namespace velnor::jet {
namespace {

constexpr std::uint8_t kMapInline = 0x00;
constexpr std::uint8_t kMapOnPages = 0x01;
constexpr std::size_t kInlineFirstPageAt = 1;
constexpr std::size_t kInlineBitsAt = 5;
constexpr std::size_t kMapPagesAt = 1;
constexpr std::size_t kMapPageBitsAt = 4;  // after the map page's own header
constexpr std::uint8_t kDataPageType = 0x01;
constexpr std::size_t kOwnerAt = 4;  // a page of rows names its table's definition page

// Adds the pages whose bits are set, the first bit standing for page first.
void AddPages(const JetFile& file, const Bytes& bits, std::uint64_t first,
              std::vector<std::uint32_t>& pages) {
  for (std::size_t byte = 0; byte < bits.size(); ++byte) {
    const std::uint8_t value = bits.U8(byte);
    for (int bit = 0; value != 0 && bit < 8; ++bit) {
      const std::uint64_t page = first + byte * 8 + static_cast<unsigned>(bit);
      if ((value & (1u << bit)) != 0 && page > 0 && page < file.pageCount()) {
        pages.push_back(static_cast<std::uint32_t>(page));
      }
    }
  }
}

}  // namespace

std::vector<std::uint32_t> DataPagesOf(const JetFile& file, const TableDefinition& table) {
  const Bytes map = file.RowAt(table.usageMap);
  std::vector<std::uint32_t> mapped;
  const std::uint8_t type = map.U8(0);
  if (type == kMapInline) {
    AddPages(file, map.Sub(kInlineBitsAt, map.size() - kInlineBitsAt), map.U32(kInlineFirstPageAt),
             mapped);
  } else if (type == kMapOnPages) {
    const std::size_t pagesPerMap = (file.pageSize() - kMapPageBitsAt) * 8;
    std::set<std::uint32_t> seen;
    for (std::size_t i = 0; kMapPagesAt + 4 * i + 4 <= map.size(); ++i) {
      file.deadline().Check();
      const std::uint32_t number = map.U32(kMapPagesAt + 4 * i);
      if (number == 0) continue;
      if (!seen.insert(number).second) {
        Damaged("its page map names page " + std::to_string(number) + " twice");
      }
      const Bytes page = file.Page(number);
      AddPages(file, page.Sub(kMapPageBitsAt, page.size() - kMapPageBitsAt),
               static_cast<std::uint64_t>(i) * pagesPerMap, mapped);
    }
  } else {
    Damaged("its page map (page " + std::to_string(map.page()) + ") has the unknown type " +
            std::to_string(type));
  }
  // A page counts only when it holds rows and names this table as their owner.
  std::vector<std::uint32_t> pages;
  std::set<std::uint32_t> taken;
  for (const std::uint32_t number : mapped) {
    const Bytes page = file.Page(number);
    if (page.U8(0) == kDataPageType && page.U32(kOwnerAt) == table.page &&
        taken.insert(number).second) {
      pages.push_back(number);
    }
  }
  return pages;
}

}  // namespace velnor::jet
