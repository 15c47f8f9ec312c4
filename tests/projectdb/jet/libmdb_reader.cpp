#include "libmdb_reader.h"

// The reading library's header wraps glib's in extern "C" but needs glib first.
#include <glib.h>
// clang-format off
#include <mdbtools.h>
// clang-format on

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "errors/failure.h"
#include "projectdb/database.h"
#include "projectdb/jet/jet_values.h"

namespace velnor::test {
namespace {

using namespace velnor::jet;

// Row offsets on a data page carry two flags above the offset itself.
constexpr int kOffsetMask = 0x1fff;
constexpr int kDeletedOrMovedFlag = 0x8000;  // deleted, or the new place of a moved row
constexpr int kMovedFlag = 0x4000;           // the row holds only where it moved to
// A moved row can move again; a chain longer than this is a damaged file.
constexpr int kMaxMoves = 8;
constexpr std::uint32_t kLongValueInline = 0x80000000u;
constexpr std::uint32_t kLongValueOnePage = 0x40000000u;
constexpr std::uint32_t kLongValueLengthMask = 0x3fffffffu;

[[noreturn]] void Fail(const std::string& reason) {
  Raise(failure_number::kDatabaseError, reason);
}

std::uint32_t Le32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}
int Le16(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8;
}

struct HandleCloser {
  void operator()(MdbHandle* handle) const noexcept { mdb_close(handle); }
};
struct TableFreer {
  void operator()(MdbTableDef* table) const noexcept { mdb_free_tabledef(table); }
};

// A row's bytes on a page held in memory.
struct RowPlace {
  int start = 0;
  int length = 0;
  int flags = 0;
};

class JetFile {
 public:
  explicit JetFile(const std::string& path) : path_(path) {
    handle_.reset(mdb_open(path.c_str(), MDB_NOFLAGS));
    if (!handle_) Fail("cannot be read as an Access database");
    mdb_ = handle_.get();
    if (mdb_->f->jet_version != MDB_VER_JET3 && mdb_->f->jet_version != MDB_VER_JET4) {
      Fail("is not a Jet 3 or Jet 4 database");
    }
    pageSize_ = static_cast<int>(mdb_->fmt->pg_size);
    rowCountOffset_ = mdb_->fmt->row_count_offset;
    std::error_code error;
    pageCount_ = std::filesystem::file_size(path, error) / static_cast<std::uintmax_t>(pageSize_);
  }

  MdbHandle* mdb() const { return mdb_; }
  bool jet4() const { return mdb_->f->jet_version == MDB_VER_JET4; }
  int pageSize() const { return pageSize_; }
  std::uintmax_t pageCount() const { return pageCount_; }

  // Where a row lies on the page in buffer; fails on offsets that leave the page.
  RowPlace Locate(const unsigned char* page, int row) const {
    const int rows = Le16(page + rowCountOffset_);
    if (row < 0 || row >= rows || rowCountOffset_ + 2 + 2 * rows > pageSize_) {
      Fail("damaged page: row " + std::to_string(row) + " of " + std::to_string(rows));
    }
    RowPlace place;
    const int raw = Le16(page + rowCountOffset_ + 2 + 2 * row);
    place.flags = raw & ~kOffsetMask;
    place.start = raw & kOffsetMask;
    const int end = row == 0 ? pageSize_ : Le16(page + rowCountOffset_ + 2 * row) & kOffsetMask;
    place.length = end - place.start;
    if (place.start < rowCountOffset_ || place.length < 0 || end > pageSize_) {
      Fail("damaged page: row " + std::to_string(row) + " lies outside its page");
    }
    return place;
  }

  int RowCountOnPage() const {
    const int rows = Le16(mdb_->pg_buf + rowCountOffset_);
    if (rowCountOffset_ + 2 + 2 * rows > pageSize_) Fail("damaged page: too many rows");
    return rows;
  }

  void LoadPage(std::uint32_t page) const {
    if (page >= pageCount_ || mdb_read_pg(mdb_, page) != pageSize_) {
      Fail("damaged file: page " + std::to_string(page) + " cannot be read");
    }
  }

  // The bytes of a row addressed as page * 256 + row, read without disturbing the
  // page that the current row lies on.
  std::string ReadOtherRow(std::uint32_t pageRow) const {
    const std::uint32_t page = pageRow >> 8;
    if (page == 0 || page >= pageCount_) Fail("damaged long value: page " + std::to_string(page));
    void* buffer = nullptr;
    int offset = 0;
    size_t length = 0;
    // Only its loading of the page is used; the row is located here, with checks.
    if (mdb_find_pg_row(mdb_, static_cast<int>(pageRow), &buffer, &offset, &length) != 0) {
      Fail("damaged long value: page " + std::to_string(page) + " cannot be read");
    }
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    const RowPlace place = Locate(bytes, static_cast<int>(pageRow & 0xff));
    return std::string(reinterpret_cast<const char*>(bytes) + place.start,
                       static_cast<std::size_t>(place.length));
  }

  std::string DecodeText(const unsigned char* bytes, std::size_t length) const {
    if (length == 0) return "";
    // Three bytes of UTF-8 per stored byte cover every case: a compressed Unicode
    // character or a Windows-1252 byte takes at most three.
    std::string text(length * 3 + 8, '\0');
    const int written = mdb_unicode2ascii(mdb_, reinterpret_cast<const char*>(bytes), length,
                                          text.data(), text.size());
    text.resize(static_cast<std::size_t>(written < 0 ? 0 : written));
    return text;
  }

  // A Memo or OLE value: inline in the row, on one page of its own, or in a chain of
  // pieces each naming the next. Whole, however long (the library's own reading of
  // bound values stops at its buffer size).
  std::string ReadLongValue(const unsigned char* field, int size) const {
    if (size < MDB_MEMO_OVERHEAD) Fail("damaged long value: " + std::to_string(size) + " bytes");
    const std::uint32_t header = Le32(field);
    const std::uint32_t length = header & kLongValueLengthMask;
    if (length > pageCount_ * static_cast<std::uintmax_t>(pageSize_)) {
      Fail("damaged long value: " + std::to_string(length) + " bytes");
    }
    if (header & kLongValueInline) {
      if (static_cast<std::uint64_t>(length) + MDB_MEMO_OVERHEAD > static_cast<unsigned>(size)) {
        Fail("damaged long value: longer than its row");
      }
      return std::string(reinterpret_cast<const char*>(field) + MDB_MEMO_OVERHEAD, length);
    }
    std::uint32_t pageRow = Le32(field + 4);
    if (header & kLongValueOnePage) {
      std::string row = ReadOtherRow(pageRow);
      if (row.size() < length) Fail("damaged long value: shorter than its length");
      row.resize(length);
      return row;
    }
    std::string value;
    value.reserve(length);
    while (value.size() < length) {
      if (pageRow == 0) Fail("damaged long value: its chain ends early");
      const std::string piece = ReadOtherRow(pageRow);
      if (piece.size() < 4) Fail("damaged long value: a piece without its link");
      pageRow = Le32(reinterpret_cast<const unsigned char*>(piece.data()));
      value.append(piece, 4, std::min(piece.size() - 4, length - value.size()));
      if (piece.size() == 4) Fail("damaged long value: an empty piece");
    }
    return value;
  }

 private:
  std::string path_;
  std::unique_ptr<MdbHandle, HandleCloser> handle_;
  MdbHandle* mdb_ = nullptr;
  int pageSize_ = 0;
  int rowCountOffset_ = 0;
  std::uintmax_t pageCount_ = 0;
};

std::vector<MdbColumn*> ColumnsOf(MdbTableDef* table) {
  std::vector<MdbColumn*> columns;
  for (unsigned i = 0; i < table->num_cols; ++i) {
    columns.push_back(static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i)));
  }
  return columns;
}

ColumnShape ShapeOf(const JetFile& file, const MdbColumn& column) {
  // The library reads a Numeric's precision into col_scale and its scale into col_prec:
  // the stored order is precision, then scale (a scale above the precision is invalid,
  // and the files say precision 18, scale 0 where the library says the reverse).
  return ColumnShape{column.col_type,          column.col_size,  file.jet4(),
                     column.is_long_auto != 0, column.col_scale, column.col_prec};
}

class TableCopier {
 public:
  TableCopier(const JetFile& file, MdbTableDef* table, db::Database& target)
      : file_(file), table_(table), columns_(ColumnsOf(table)) {
    if (columns_.empty() || columns_.size() > MDB_MAX_COLS) {
      Fail("table " + std::string(table->name) + " has " + std::to_string(columns_.size()) +
           " columns");
    }
    std::vector<db::Column> declared;
    std::string names;
    std::string marks;
    for (const MdbColumn* column : columns_) {
      const std::string type = DeclaredTypeOf(ShapeOf(file, *column));
      if (type.empty()) {
        Fail("column " + std::string(column->name) + " of table " + table->name + " has type " +
             std::to_string(column->col_type) + ", which the conversion does not know");
      }
      declared.push_back(db::DescribeColumn(column->name, type));
      names += (names.empty() ? "" : ", ") + db::QuoteName(column->name);
      marks += marks.empty() ? "?" : ", ?";
    }
    target.CreateTable(table->name, declared);
    insert_.emplace(target,
                    "INSERT INTO main." + db::QuoteName(table->name) + " (" + names + ") VALUES (" +
                        marks + ")",
                    target.Describe("writing table " + std::string(table->name)));
    values_.resize(columns_.size());
  }

  // Copies every row in stored order: page after page of the table, row after row on
  // each, a moved row where it stood before it moved. Returns the number of rows.
  std::int64_t CopyRows() {
    std::vector<std::uint32_t> pages;
    mdb_rewind_table(table_);
    while (mdb_read_next_dpg(table_)) {
      if (pages.size() >= file_.pageCount()) Fail("damaged table: its pages repeat");
      pages.push_back(table_->cur_phys_pg);
    }
    std::int64_t rows = 0;
    MdbHandle* mdb = file_.mdb();
    for (const std::uint32_t page : pages) {
      file_.LoadPage(page);
      const int count = file_.RowCountOnPage();
      for (int row = 0; row < count; ++row) {
        RowPlace place = file_.Locate(mdb->pg_buf, row);
        // Deleted rows, and moved rows at their new place, which are taken where the
        // row stood.
        if (place.flags & kDeletedOrMovedFlag) continue;
        bool moved = false;
        for (int move = 0; place.flags & kMovedFlag; ++move) {
          if (move == kMaxMoves || place.length < 4) Fail("damaged table: a moved row is lost");
          const unsigned char* pointer = mdb->pg_buf + place.start;
          const std::uint32_t target = Le32(pointer) >> 8;
          const int targetRow = pointer[0];
          file_.LoadPage(target);
          place = file_.Locate(mdb->pg_buf, targetRow);
          moved = true;
        }
        CopyRow(place);
        ++rows;
        if (moved) file_.LoadPage(page);
      }
    }
    return rows;
  }

 private:
  void CopyRow(const RowPlace& place) {
    MdbField fields[MDB_MAX_COLS];
    const int found = mdb_crack_row(table_, place.start, static_cast<size_t>(place.length), fields);
    // It answers with the number of columns the row was written with, which may be
    // fewer or (after columns were deleted) more than the table has now.
    if (found < 0 || found > MDB_MAX_COLS)
      Fail("damaged row in table " + std::string(table_->name));
    MdbHandle* mdb = file_.mdb();
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      values_[i] = ValueOf(*columns_[i], fields[i], mdb->pg_buf);
    }
    insert_->BindAll(values_);
    insert_->Run();
    insert_->Reset();
  }

  db::Value ValueOf(const MdbColumn& column, const MdbField& field, const unsigned char* page) {
    const auto type = static_cast<ColumnType>(column.col_type);
    // A Yes/No has no bytes of its own: its bit in the row's null mask is its value.
    if (type == ColumnType::Boolean) return field.is_null ? kFalse : kTrue;
    if (field.is_null) return nullptr;
    const auto* bytes = static_cast<const unsigned char*>(field.value);
    const int size = field.siz;
    // Compared as addresses: on a damaged file the library may point anywhere.
    const auto at = reinterpret_cast<std::uintptr_t>(bytes);
    const auto pageAt = reinterpret_cast<std::uintptr_t>(page);
    if (at < pageAt || size < 0 ||
        at - pageAt + static_cast<std::uintptr_t>(size) >
            static_cast<std::uintptr_t>(file_.pageSize())) {
      Fail("damaged row in table " + std::string(table_->name) + ": column " + column.name +
           " lies outside its page");
    }
    const auto need = [&](int bytesNeeded) {
      if (size < bytesNeeded) {
        Fail("damaged row in table " + std::string(table_->name) + ": column " + column.name +
             " holds " + std::to_string(size) + " bytes");
      }
    };
    switch (type) {
      case ColumnType::Byte:
        need(1);
        return static_cast<std::int64_t>(bytes[0]);
      case ColumnType::Integer:
        need(2);
        return static_cast<std::int64_t>(static_cast<std::int16_t>(Le16(bytes)));
      case ColumnType::Long:
        need(4);
        return static_cast<std::int64_t>(static_cast<std::int32_t>(Le32(bytes)));
      case ColumnType::Currency: {
        need(8);
        const std::uint64_t raw = Le32(bytes) | static_cast<std::uint64_t>(Le32(bytes + 4)) << 32;
        return CurrencyText(static_cast<std::int64_t>(raw));
      }
      case ColumnType::Single: {
        need(4);
        float value = 0;
        std::memcpy(&value, bytes, sizeof value);
        return SingleAsDouble(value);
      }
      case ColumnType::Double:
      case ColumnType::DateTime: {
        need(8);
        double value = 0;
        std::memcpy(&value, bytes, sizeof value);
        if (type == ColumnType::Double) return value;
        std::string text = DateTimeText(value);
        if (text.empty()) {
          Fail("table " + std::string(table_->name) + ", column " + column.name +
               ": a date outside the years 1 to 9999");
        }
        return text;
      }
      case ColumnType::Binary:
        return db::Blob{std::string(reinterpret_cast<const char*>(bytes), size)};
      case ColumnType::Text:
        return file_.DecodeText(bytes, static_cast<std::size_t>(size));
      case ColumnType::Memo: {
        const std::string stored = file_.ReadLongValue(bytes, size);
        return file_.DecodeText(reinterpret_cast<const unsigned char*>(stored.data()),
                                stored.size());
      }
      case ColumnType::Ole:
        return db::Blob{file_.ReadLongValue(bytes, size)};
      case ColumnType::Guid:
        need(16);
        return GuidText(bytes);
      case ColumnType::Numeric: {
        need(17);
        const std::array<std::uint32_t, 4> magnitude{Le32(bytes + 1), Le32(bytes + 5),
                                                     Le32(bytes + 9), Le32(bytes + 13)};
        return DecimalText((bytes[0] & 0x80) != 0, magnitude, column.col_prec);
      }
      case ColumnType::Boolean:
        break;
    }
    Fail("column " + std::string(column.name) + " has an unknown type");
  }

  const JetFile& file_;
  MdbTableDef* table_;
  std::vector<MdbColumn*> columns_;
  std::optional<db::Statement> insert_;
  std::vector<db::Value> values_;
};

}  // namespace

std::string ConvertWithLibmdb(const std::string& jetPath, const std::string& sqlitePath) {
  // Texts arrive as UTF-8; a Jet 3 file's bytes are Windows-1252.
  setenv("MDB_ICONV", "UTF-8", 1);
  setenv("MDB_JET3_CHARSET", "CP1252", 1);
  JetFile file(jetPath);
  MdbHandle* mdb = file.mdb();
  if (mdb_read_catalog(mdb, MDB_TABLE) == nullptr) Fail("its list of tables cannot be read");

  db::Database target = db::Database::Create(sqlitePath);
  db::Transaction transaction(target, "the conversion of " + jetPath);
  std::string manifest;
  for (unsigned i = 0; i < mdb->num_catalog; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry->object_type != MDB_TABLE || mdb_is_system_table(entry)) continue;
    std::unique_ptr<MdbTableDef, TableFreer> table(mdb_read_table(entry));
    if (!table) Fail("table " + std::string(entry->object_name) + " cannot be read");
    if (mdb_read_columns(table.get()) == nullptr) {
      Fail("the columns of table " + std::string(entry->object_name) + " cannot be read");
    }
    TableCopier copier(file, table.get(), target);
    const std::int64_t rows = copier.CopyRows();
    if (rows != static_cast<std::int64_t>(table->num_rows)) {
      Fail("table " + std::string(table->name) + ": " + std::to_string(rows) +
           " rows found where its header counts " + std::to_string(table->num_rows));
    }
    manifest += std::to_string(table->num_rows) + "\t" + table->name + "\n";
  }
  transaction.Commit();
  return manifest;
}

}  // namespace velnor::test
