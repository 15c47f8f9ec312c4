#pragma once
// The bytes of an Access (Jet 3 or Jet 4) file as its pages. Every read goes through a
// checked view: an offset or length beyond its page is a failure naming the page, never
// a read beyond the bytes. The reader keeps no state of its own but what these hold, and
// it makes no system call: the caller hands it the file's bytes.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velnor::jet {

// Raises the failure of a damaged file: what was wrong, naming page and table.
[[noreturn]] void Damaged(const std::string& what);

// The last guard: the reader's loops end at this point in time, should a check have
// missed a way a damaged file could keep them going.
class Deadline {
 public:
  explicit Deadline(std::chrono::steady_clock::duration limit)
      : end_(std::chrono::steady_clock::now() + limit) {}
  void Check() const;

 private:
  std::chrono::steady_clock::time_point end_;
};

// A piece of a page: reads are checked against its length.
class Bytes {
 public:
  Bytes() = default;
  Bytes(std::string_view data, std::uint32_t page) : data_(data), page_(page) {}

  std::size_t size() const { return data_.size(); }
  std::uint32_t page() const { return page_; }
  std::string_view data() const { return data_; }

  std::uint8_t U8(std::size_t at) const {
    Need(at, 1);
    return Byte(at);
  }
  std::uint16_t U16(std::size_t at) const {
    Need(at, 2);
    return static_cast<std::uint16_t>(Byte(at) | Byte(at + 1) << 8);
  }
  std::uint32_t U32(std::size_t at) const {
    Need(at, 4);
    return Byte(at) | static_cast<std::uint32_t>(Byte(at + 1)) << 8 |
           static_cast<std::uint32_t>(Byte(at + 2)) << 16 |
           static_cast<std::uint32_t>(Byte(at + 3)) << 24;
  }
  Bytes Sub(std::size_t at, std::size_t length) const {
    Need(at, length);
    return Bytes(data_.substr(at, length), page_);
  }

 private:
  std::uint8_t Byte(std::size_t at) const { return static_cast<std::uint8_t>(data_[at]); }
  void Need(std::size_t at, std::size_t length) const {
    if (at > data_.size() || length > data_.size() - at) OutOfPlace(at, length);
  }
  [[noreturn]] void OutOfPlace(std::size_t at, std::size_t length) const;

  std::string_view data_;
  std::uint32_t page_ = 0;
};

// Where the two versions place what the reader uses.
struct Layout {
  bool jet4 = false;
  std::size_t pageSize = 0;
  std::size_t rowCountAt = 0;  // on a data page; the row offsets follow
  // The table definition (offsets in its first page, continued pages appended).
  std::size_t definitionRows = 0;
  std::size_t definitionColumns = 0;
  std::size_t definitionRealIndexes = 0;
  std::size_t definitionUsageMap = 0;
  std::size_t definitionEntries = 0;  // where the real indexes' entries start
  std::size_t realIndexEntry = 0;
  // A column's entry.
  std::size_t columnEntry = 0;
  std::size_t columnNumber = 0;
  std::size_t columnVariableIndex = 0;
  std::size_t columnFlags = 0;
  std::size_t columnFixedOffset = 0;
  std::size_t columnLength = 0;
  std::size_t columnMisc = 0;  // a Numeric's precision, then its scale
  // A row: the column count at its start, the count of variable columns before the
  // null mask, and the width of both and of the offsets of variable columns.
  std::size_t rowCountWidth = 0;
};

class JetFile {
 public:
  // Checks the header: the signature, the version (Jet 3 or Jet 4) and whole pages.
  JetFile(std::string_view bytes, const Deadline& deadline);

  const Layout& layout() const { return layout_; }
  bool jet4() const { return layout_.jet4; }
  std::size_t pageSize() const { return layout_.pageSize; }
  std::uint32_t pageCount() const { return pageCount_; }
  const Deadline& deadline() const { return deadline_; }

  // The page, when the file holds it; page 0 is the file's header and holds no rows.
  Bytes Page(std::uint32_t number) const;

  // The bytes of a row on a page of rows, addressed as page * 256 + row, as long
  // values and moved rows address them.
  Bytes RowAt(std::uint32_t pageAndRow) const;

  // A row reached by its address (a long value or a piece of one, the new place of a
  // moved row) belongs to the one that names it, so all of them together hold no more
  // bytes than the file: beyond that, a damaged file names the same rows again and again.
  void CountAddressedBytes(std::size_t bytes) const;

 private:
  std::string_view bytes_;
  Layout layout_;
  std::uint32_t pageCount_ = 0;
  mutable std::size_t addressedBytes_ = 0;
  const Deadline& deadline_;
};

// The rows on a page of rows: their count, each row's flags and its bytes.
struct RowFlags {
  bool deleted = false;  // deleted, or the new place of a row that moved
  bool moved = false;    // holds only the address of its new place
};
std::size_t RowCountOn(const JetFile& file, const Bytes& page);
RowFlags RowFlagsOn(const JetFile& file, const Bytes& page, std::size_t row);
Bytes RowBytesOn(const JetFile& file, const Bytes& page, std::size_t row);

}  // namespace velnor::jet
