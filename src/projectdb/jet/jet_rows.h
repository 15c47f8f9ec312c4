#pragma once
// The rows of a table and their columns. A row starts with the number of columns it was
// written with and ends with its null mask (a bit per column, set when the column holds
// a value); before the mask come the count of its variable-length columns and their
// offsets, last first, after the end of the last one. Jet 3 keeps those offsets in one
// byte each and a jump table adding 256 from a given column on.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "projectdb/jet/jet_pages.h"
#include "projectdb/jet/jet_table_definition.h"

namespace velnor::jet {

class Row {
 public:
  Row(const JetFile& file, const Bytes& bytes);

  // The column's bit in the null mask; a column the row was written without has none.
  bool Bit(std::uint16_t number) const;
  // The column's bytes, nothing when it is NULL.
  std::optional<Bytes> Field(const JetColumn& column) const;

 private:
  std::size_t VariableOffset(std::size_t index) const;
  void ReadVariableOffsets() const;

  const JetFile& file_;
  Bytes bytes_;
  std::size_t columnCount_ = 0;
  std::size_t maskAt_ = 0;
  // Read when a variable column is first asked for: its count, where the offsets start
  // and the jump table (Jet 3).
  mutable bool variableRead_ = false;
  mutable std::size_t variableCount_ = 0;
  mutable std::size_t offsetsEnd_ = 0;
  mutable std::vector<std::uint8_t> jumps_;
};

// Calls take with each row of the table's pages in stored order: page after page, row
// after row on each, a row that moved to another page where it stood, deleted rows
// left out. Returns the number of rows.
std::int64_t ForEachRow(const JetFile& file, const std::vector<std::uint32_t>& pages,
                        const std::function<void(const Bytes&)>& take);

}  // namespace velnor::jet
