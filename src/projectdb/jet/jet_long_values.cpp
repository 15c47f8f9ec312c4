#include "projectdb/jet/jet_long_values.h"

#include <algorithm>
#include <set>

namespace velnor::jet {
namespace {

constexpr std::size_t kOverhead = 12;
constexpr std::uint32_t kInline = 0x80000000u;
constexpr std::uint32_t kOneRow = 0x40000000u;
constexpr std::uint32_t kLengthMask = 0x3fffffffu;
constexpr std::size_t kLinkSize = 4;

std::string Address(std::uint32_t pageAndRow) {
  return "page " + std::to_string(pageAndRow >> 8) + ", row " + std::to_string(pageAndRow & 0xff);
}

}  // namespace

std::string ReadLongValue(const JetFile& file, const Bytes& field) {
  if (field.size() < kOverhead) {
    Damaged("a long value of " + std::to_string(field.size()) + " bytes on page " +
            std::to_string(field.page()));
  }
  const std::uint32_t header = field.U32(0);
  const std::size_t length = header & kLengthMask;
  if (length > static_cast<std::size_t>(file.pageCount()) * file.pageSize()) {
    Damaged("a long value on page " + std::to_string(field.page()) + " counts " +
            std::to_string(length) + " bytes, more than the file holds");
  }
  if (header & kInline) {
    if (length > field.size() - kOverhead) {
      Damaged("a long value on page " + std::to_string(field.page()) + " is longer than its row");
    }
    return std::string(field.data().substr(kOverhead, length));
  }
  file.CountAddressedBytes(length);
  std::uint32_t next = field.U32(4);
  if (header & kOneRow) {
    const Bytes row = file.RowAt(next);
    if (row.size() < length) Damaged("the long value at " + Address(next) + " is cut short");
    return std::string(row.data().substr(0, length));
  }
  std::string value;
  value.reserve(length);
  std::set<std::uint32_t> seen;
  while (value.size() < length) {
    file.deadline().Check();
    if (next == 0)
      Damaged("the chain of a long value on page " + std::to_string(field.page()) + " ends early");
    if (!seen.insert(next).second) Damaged("a long value's chain comes back to " + Address(next));
    const Bytes piece = file.RowAt(next);
    if (piece.size() <= kLinkSize)
      Damaged("the piece of a long value at " + Address(next) + " is empty");
    next = piece.U32(0);
    value.append(
        piece.data().substr(kLinkSize, std::min(piece.size() - kLinkSize, length - value.size())));
  }
  return value;
}

}  // namespace velnor::jet
