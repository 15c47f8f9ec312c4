#pragma once
// A large Jet table for tests and benchmarks, made from a real Jet 4 file since no Jet
// writer exists here: the rows of "Table1" of testV2003.mdb, repeated on new data pages
// appended to the file, with the table's page map and row count changed to match.
#include <cstdint>
#include <string>

namespace velnor::test {

// The bytes of testV2003.mdb whose "Table1" holds rows rows: alternately the file's
// two rows ("abcdefg ..." and "a ..."), each with its row number (0, 1, ...) in the
// Long column "E". At most about 40,000 rows (the page map kept in the table's own
// definition covers 512 pages).
std::string JetFileWithRows(const std::string& testV2003Bytes, std::int32_t rows);

// As JetFileWithRows, with the page map on a page of its own which the table's map row
// names (as larger files keep it), so without the limit of about 40,000 rows.
std::string JetFileWithRowsMappedOnPage(const std::string& testV2003Bytes, std::int32_t rows);

// As JetFileWithRows, with the text "B" of every "a ..." row (the odd rows) stored as an
// empty text instead of "b": its end in the row's table of variable offsets moved to
// its start.
std::string JetFileWithEmptyTexts(const std::string& testV2003Bytes, std::int32_t rows);

// The bytes of testV1997.mdb (Jet 3) whose "Table1" row "abcdefg ..." holds texts of
// these lengths ("aaa...", "bbb...") in its columns "A" and "B": a row of 256 bytes or
// more has a jump table, which adds 256 to the one-byte offsets from a given column on.
std::string Jet3FileWithLongTexts(const std::string& testV1997Bytes, std::size_t aLength,
                                  std::size_t bLength);

}  // namespace velnor::test
