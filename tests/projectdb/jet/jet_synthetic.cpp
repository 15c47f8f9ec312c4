#include "jet_synthetic.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace velnor::test {
namespace {

// Jet 4 layout, as far as this needs it.
constexpr std::size_t kPage = 4096;
constexpr std::size_t kRowCount = 12;          // on a data page; the offsets follow
constexpr std::size_t kTableRows = 16;         // on the table definition page
constexpr std::uint32_t kDefinitionPage = 24;  // "Table1" of testV2003.mdb
constexpr std::uint32_t kMapPage = 25;         // its page map: row 0
constexpr std::uint32_t kDataPage = 27;        // its two rows
constexpr std::size_t kMapBits = 64 * 8;
constexpr int kMostRowsPerPage = 255;

std::uint32_t Get(const std::string& b, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(b[at + i]);
  return value;
}
void Put(std::string& b, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>(value >> (8 * i));
}

std::string RowOf(const std::string& file, std::uint32_t page, int row) {
  const std::size_t base = page * kPage;
  const std::size_t start = Get(file, base + kRowCount + 2 + 2 * row, 2) & 0x1fff;
  const std::size_t end = row == 0 ? kPage : Get(file, base + kRowCount + 2 * row, 2) & 0x1fff;
  return file.substr(base + start, end - start);
}

}  // namespace

namespace {

// A Jet 4 row ends with its null mask (a bit per column), before it the number of
// variable-length columns, before that their start offsets, last column first, and
// before those the end of the last one.
void EmptyLastVariableColumn(std::string& row, int columns) {
  const std::size_t mask = static_cast<std::size_t>((columns + 7) / 8);
  const std::size_t countAt = row.size() - mask - 2;
  const std::uint32_t variable = Get(row, countAt, 2);
  const std::size_t lastStartAt = countAt - 2 * variable;
  const std::size_t endAt = lastStartAt - 2;
  Put(row, endAt, Get(row, lastStartAt, 2), 2);
}

std::string Build(const std::string& testV2003Bytes, std::int32_t rows, bool emptyTexts,
                  bool mapOnPage);

}  // namespace

std::string JetFileWithRows(const std::string& testV2003Bytes, std::int32_t rows) {
  return Build(testV2003Bytes, rows, false, false);
}

std::string JetFileWithEmptyTexts(const std::string& testV2003Bytes, std::int32_t rows) {
  return Build(testV2003Bytes, rows, true, false);
}

std::string JetFileWithRowsMappedOnPage(const std::string& testV2003Bytes, std::int32_t rows) {
  return Build(testV2003Bytes, rows, false, true);
}

namespace {

std::string Build(const std::string& testV2003Bytes, std::int32_t rows, bool emptyTexts,
                  bool mapOnPage) {
  std::string file = testV2003Bytes;
  std::string samples[2] = {RowOf(file, kDataPage, 0), RowOf(file, kDataPage, 1)};
  if (emptyTexts) EmptyLastVariableColumn(samples[1], 9);
  // Column "E" of the "abcdefg" row holds 333333333; both rows keep it at one place.
  const std::size_t numberAt = samples[0].find(std::string("\x55\x43\xDE\x13", 4));
  if (numberAt == std::string::npos) throw std::runtime_error("not testV2003.mdb");

  const std::uint32_t firstPage = static_cast<std::uint32_t>(file.size() / kPage);
  const std::string header = file.substr(kDataPage * kPage, kRowCount);
  std::vector<std::uint32_t> pages;
  for (std::int32_t next = 0; next < rows;) {
    std::string page(kPage, '\0');
    page.replace(0, header.size(), header);
    std::size_t end = kPage;
    int count = 0;
    while (next < rows && count < kMostRowsPerPage) {
      std::string row = samples[next % 2];
      if (end - row.size() < kRowCount + 2 + 2 * (count + 1)) break;
      Put(row, numberAt, static_cast<std::uint32_t>(next), 4);
      end -= row.size();
      page.replace(end, row.size(), row);
      Put(page, kRowCount + 2 + 2 * count, static_cast<std::uint32_t>(end), 2);
      ++count;
      ++next;
    }
    Put(page, kRowCount, static_cast<std::uint32_t>(count), 2);
    Put(page, 2, static_cast<std::uint32_t>(end - (kRowCount + 2 + 2 * count)), 2);  // free
    pages.push_back(firstPage + static_cast<std::uint32_t>(pages.size()));
    file += page;
  }
  const std::size_t map =
      kMapPage * kPage + (Get(file, kMapPage * kPage + kRowCount + 2, 2) & 0x1fff);
  if (mapOnPage) {
    // The page map: type 1, then the map pages (type 5, a bit per page from page 0 on
    // after their 4-byte header), of which only the first is used.
    const std::uint32_t mapPage = firstPage + static_cast<std::uint32_t>(pages.size());
    std::string bits(kPage, '\0');
    bits[0] = 0x05;
    bits[1] = 0x01;
    for (const std::uint32_t page : pages) bits[4 + page / 8] |= static_cast<char>(1 << (page % 8));
    file += bits;
    std::fill(file.begin() + static_cast<std::ptrdiff_t>(map),
              file.begin() + static_cast<std::ptrdiff_t>(map + 5 + kMapBits / 8), '\0');
    file[map] = 0x01;
    Put(file, map + 1, mapPage, 4);
  } else {
    if (pages.size() > kMapBits) throw std::runtime_error("too many rows for the page map");
    // The page map: type 0, the first page it covers, then one bit per page.
    Put(file, map + 1, firstPage, 4);
    std::fill(file.begin() + static_cast<std::ptrdiff_t>(map + 5),
              file.begin() + static_cast<std::ptrdiff_t>(map + 5 + kMapBits / 8), '\0');
    for (std::size_t i = 0; i < pages.size(); ++i) {
      file[map + 5 + i / 8] = static_cast<char>(file[map + 5 + i / 8] | (1 << (i % 8)));
    }
  }
  Put(file, kDefinitionPage * kPage + kTableRows, static_cast<std::uint32_t>(rows), 4);
  return file;
}

}  // namespace

std::string Jet3FileWithLongTexts(const std::string& testV1997Bytes, std::size_t aLength,
                                  std::size_t bLength) {
  // Jet 3 layout: pages of 2048 bytes, the row count at offset 8 of a page of rows.
  constexpr std::size_t kJet3Page = 2048;
  constexpr std::size_t kJet3RowCount = 8;
  constexpr std::size_t kTable1Rows = 31;
  constexpr std::size_t kFixedEnd = 32;  // the column count and the fixed columns
  std::string file = testV1997Bytes;
  const std::size_t base = kTable1Rows * kJet3Page;
  const std::size_t end = Get(file, base + kJet3RowCount + 2, 2) & 0x1fff;  // where row 1 ends
  const std::size_t start = Get(file, base + kJet3RowCount + 4, 2) & 0x1fff;
  std::string row = file.substr(base + start, kFixedEnd);
  if (row[0] != 9) throw std::runtime_error("not testV1997.mdb");
  row += std::string(aLength, 'a') + std::string(bLength, 'b');
  const std::size_t offsets[3] = {kFixedEnd, kFixedEnd + aLength, kFixedEnd + aLength + bLength};
  // The end of the data, the offsets last first, the jump table, the count, the mask.
  const std::size_t length = offsets[2] + 1 + 2 + 1 + 2;
  std::size_t jumps = 0;  // one per 256 bytes of the whole row, itself included
  while ((length + jumps - 1) / 256 > jumps) ++jumps;
  row += static_cast<char>(offsets[2] & 0xff);
  row += static_cast<char>(offsets[1] & 0xff);
  row += static_cast<char>(offsets[0] & 0xff);
  for (std::size_t j = jumps; j-- > 0;) {
    // The first of the offsets (the end counting as the third) at 256 * (j + 1) or above.
    std::size_t first = 0;
    while (first < 3 && offsets[first] < 256 * (j + 1)) ++first;
    row += static_cast<char>(first < 3 ? first : 0xff);
  }
  row += std::string("\x02\xff\x01", 3);
  if (row.size() + kJet3RowCount + 6 > end) throw std::runtime_error("the row does not fit");
  file.replace(base + end - row.size(), row.size(), row);
  Put(file, base + kJet3RowCount + 4, static_cast<std::uint32_t>(end - row.size()), 2);
  return file;
}

}  // namespace velnor::test
