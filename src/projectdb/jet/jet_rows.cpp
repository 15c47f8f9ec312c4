#include "projectdb/jet/jet_rows.h"

#include <algorithm>

namespace velnor::jet {
namespace {

// A moved row can move again; a chain longer than this is a damaged file.
constexpr int kMostMoves = 8;

std::string Where(const Bytes& bytes) {
  return "a row on page " + std::to_string(bytes.page());
}

}  // namespace

Row::Row(const JetFile& file, const Bytes& bytes) : file_(file), bytes_(bytes) {
  const std::size_t width = file.layout().rowCountWidth;
  columnCount_ = width == 2 ? bytes.U16(0) : bytes.U8(0);
  const std::size_t maskSize = (columnCount_ + 7) / 8;
  if (bytes.size() < width + maskSize) {
    Damaged(Where(bytes) + " counts " + std::to_string(columnCount_) + " columns in " +
            std::to_string(bytes.size()) + " bytes");
  }
  maskAt_ = bytes.size() - maskSize;
}

bool Row::Bit(std::uint16_t number) const {
  if (number >= columnCount_) return false;
  return (bytes_.U8(maskAt_ + number / 8) & (1u << (number % 8))) != 0;
}

void Row::ReadVariableOffsets() const {
  variableRead_ = true;
  const std::size_t width = file_.layout().rowCountWidth;
  if (maskAt_ < 2 * width) Damaged(Where(bytes_) + " has no room for its variable columns");
  const std::size_t countAt = maskAt_ - width;
  variableCount_ = width == 2 ? bytes_.U16(countAt) : bytes_.U8(countAt);
  std::size_t tableEnd = countAt;
  if (width == 1) {
    // One jump table entry per 256 bytes of the row, whether used or not.
    const std::size_t jumpCount = (bytes_.size() - 1) / 256;
    if (jumpCount > tableEnd) Damaged(Where(bytes_) + " has no room for its jump table");
    for (std::size_t j = 0; j < jumpCount; ++j) jumps_.push_back(bytes_.U8(countAt - 1 - j));
    tableEnd -= jumpCount;
  }
  // The offsets, and the end of the last variable column before them.
  const std::size_t tableSize = (variableCount_ + 1) * width;
  if (tableSize + width > tableEnd) {
    Damaged(Where(bytes_) + " counts " + std::to_string(variableCount_) +
            " variable columns, more than it can hold");
  }
  offsetsEnd_ = tableEnd;
}

std::size_t Row::VariableOffset(std::size_t index) const {
  const std::size_t width = file_.layout().rowCountWidth;
  const std::size_t at = offsetsEnd_ - width * (index + 1);
  if (width == 2) return bytes_.U16(at);
  const std::size_t jumped = static_cast<std::size_t>(std::count_if(
      jumps_.begin(), jumps_.end(), [&](std::uint8_t first) { return first <= index; }));
  return bytes_.U8(at) + 256 * jumped;
}

std::optional<Bytes> Row::Field(const JetColumn& column) const {
  if (!Bit(column.number)) return std::nullopt;
  const std::size_t width = file_.layout().rowCountWidth;
  if (column.fixed) {
    const std::size_t start = width + column.fixedOffset;
    const std::size_t size = static_cast<std::size_t>(column.shape.sizeInBytes);
    if (start + size > maskAt_) {
      Damaged(Where(bytes_) + ": column " + column.name + " lies outside its row");
    }
    return bytes_.Sub(start, size);
  }
  if (!variableRead_) ReadVariableOffsets();
  if (column.variableIndex >= variableCount_) return std::nullopt;
  const std::size_t start = VariableOffset(column.variableIndex);
  const std::size_t end = VariableOffset(column.variableIndex + 1u);
  const std::size_t tableStart = offsetsEnd_ - width * (variableCount_ + 1);
  if (start < width || start > end || end > tableStart) {
    Damaged(Where(bytes_) + ": column " + column.name + " lies outside its row");
  }
  return bytes_.Sub(start, end - start);
}

std::int64_t ForEachRow(const JetFile& file, const std::vector<std::uint32_t>& pages,
                        const std::function<void(const Bytes&)>& take) {
  std::int64_t rows = 0;
  for (const std::uint32_t number : pages) {
    // Once a page: the work for each of its rows is bounded (long values check for
    // themselves).
    file.deadline().Check();
    const Bytes page = file.Page(number);
    const std::size_t count = RowCountOn(file, page);
    for (std::size_t row = 0; row < count; ++row) {
      // Deleted rows, and moved rows at their new place, which are taken where the
      // row stood.
      RowFlags flags = RowFlagsOn(file, page, row);
      if (flags.deleted) continue;
      Bytes bytes = RowBytesOn(file, page, row);
      for (int move = 0; flags.moved; ++move) {
        if (move == kMostMoves) Damaged("a row of page " + std::to_string(number) + " is lost");
        const std::uint32_t target = bytes.U32(0);
        const Bytes targetPage = file.Page(target >> 8);
        bytes = RowBytesOn(file, targetPage, target & 0xff);
        flags = RowFlagsOn(file, targetPage, target & 0xff);
        file.CountAddressedBytes(bytes.size());
      }
      take(bytes);
      ++rows;
    }
  }
  return rows;
}

}  // namespace velnor::jet
