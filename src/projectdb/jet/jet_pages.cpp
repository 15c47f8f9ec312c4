#include "projectdb/jet/jet_pages.h"

#include "errors/failure.h"

namespace velnor::jet {
namespace {

constexpr std::string_view kSignature{"Standard Jet DB\0", 16};
constexpr std::size_t kSignatureAt = 4;
constexpr std::size_t kVersionAt = 0x14;
// Page 2 holds the definition of the catalog, so a file has at least three pages.
constexpr std::uint32_t kFewestPages = 3;

// Row offsets on a page of rows carry two flags above the offset itself.
constexpr std::uint16_t kOffsetMask = 0x1fff;
constexpr std::uint16_t kDeletedFlag = 0x8000;  // deleted, or the new place of a moved row
constexpr std::uint16_t kMovedFlag = 0x4000;    // the row holds only where it moved to

Layout Jet3Layout() {
  Layout l;
  l.jet4 = false;
  l.pageSize = 2048;
  l.rowCountAt = 8;
  l.definitionRows = 12;
  l.definitionColumns = 25;
  l.definitionRealIndexes = 31;
  l.definitionUsageMap = 35;
  l.definitionEntries = 43;
  l.realIndexEntry = 8;
  l.columnEntry = 18;
  l.columnNumber = 1;
  l.columnVariableIndex = 3;
  l.columnMisc = 11;
  l.columnFlags = 13;
  l.columnFixedOffset = 14;
  l.columnLength = 16;
  l.rowCountWidth = 1;
  return l;
}

Layout Jet4Layout() {
  Layout l;
  l.jet4 = true;
  l.pageSize = 4096;
  l.rowCountAt = 12;
  l.definitionRows = 16;
  l.definitionColumns = 45;
  l.definitionRealIndexes = 51;
  l.definitionUsageMap = 55;
  l.definitionEntries = 63;
  l.realIndexEntry = 12;
  l.columnEntry = 25;
  l.columnNumber = 5;
  l.columnVariableIndex = 7;
  l.columnMisc = 11;
  l.columnFlags = 15;
  l.columnFixedOffset = 21;
  l.columnLength = 23;
  l.rowCountWidth = 2;
  return l;
}

}  // namespace

void Damaged(const std::string& what) {
  Raise(failure_number::kDatabaseError, what);
}

void Deadline::Check() const {
  if (std::chrono::steady_clock::now() > end_) Damaged("no end within the time limit");
}

void Bytes::OutOfPlace(std::size_t at, std::size_t length) const {
  Damaged("page " + std::to_string(page_) + ": " + std::to_string(length) + " bytes at offset " +
          std::to_string(at) + " lie beyond the " + std::to_string(data_.size()) +
          " bytes of their place");
}

JetFile::JetFile(std::string_view bytes, const Deadline& deadline)
    : bytes_(bytes), deadline_(deadline) {
  if (bytes.size() <= kVersionAt || bytes.substr(kSignatureAt, kSignature.size()) != kSignature) {
    Damaged("it is not a Jet database");
  }
  const auto version = static_cast<std::uint8_t>(bytes[kVersionAt]);
  if (version > 1) Damaged("it is not a Jet 3 or Jet 4 database");
  layout_ = version == 0 ? Jet3Layout() : Jet4Layout();
  pageCount_ = static_cast<std::uint32_t>(bytes.size() / layout_.pageSize);
  if (bytes.size() / layout_.pageSize != pageCount_ || pageCount_ < kFewestPages) {
    Damaged("the file holds " + std::to_string(bytes.size()) + " bytes, not the pages of a Jet " +
            (layout_.jet4 ? "4" : "3") + " database");
  }
}

Bytes JetFile::Page(std::uint32_t number) const {
  if (number == 0 || number >= pageCount_) {
    Damaged("page " + std::to_string(number) + " is named, but the file holds pages 1 to " +
            std::to_string(pageCount_ - 1));
  }
  return Bytes(bytes_.substr(number * layout_.pageSize, layout_.pageSize), number);
}

Bytes JetFile::RowAt(std::uint32_t pageAndRow) const {
  return RowBytesOn(*this, Page(pageAndRow >> 8), pageAndRow & 0xff);
}

void JetFile::CountAddressedBytes(std::size_t bytes) const {
  addressedBytes_ += bytes;
  if (addressedBytes_ > bytes_.size()) {
    Damaged("its rows name more bytes elsewhere than the file holds: the same rows twice");
  }
}

std::size_t RowCountOn(const JetFile& file, const Bytes& page) {
  const std::size_t at = file.layout().rowCountAt;
  const std::size_t rows = page.U16(at);
  if (at + 2 + 2 * rows > page.size()) {
    Damaged("page " + std::to_string(page.page()) + " counts " + std::to_string(rows) +
            " rows, more than it can hold");
  }
  return rows;
}

RowFlags RowFlagsOn(const JetFile& file, const Bytes& page, std::size_t row) {
  const std::uint16_t raw = page.U16(file.layout().rowCountAt + 2 + 2 * row);
  return RowFlags{(raw & kDeletedFlag) != 0, (raw & kMovedFlag) != 0};
}

Bytes RowBytesOn(const JetFile& file, const Bytes& page, std::size_t row) {
  const std::size_t rows = RowCountOn(file, page);
  const std::size_t offsets = file.layout().rowCountAt + 2;
  if (row >= rows) {
    Damaged("page " + std::to_string(page.page()) + " holds no row " + std::to_string(row));
  }
  const std::size_t start = page.U16(offsets + 2 * row) & kOffsetMask;
  // Rows lie from the end of the page towards its start, each ending where the one
  // before it starts.
  const std::size_t end = row == 0 ? page.size() : page.U16(offsets + 2 * (row - 1)) & kOffsetMask;
  if (start < offsets + 2 * rows || start > end) {
    Damaged("page " + std::to_string(page.page()) + ": row " + std::to_string(row) +
            " lies outside its page");
  }
  return page.Sub(start, end - start);
}

}  // namespace velnor::jet
