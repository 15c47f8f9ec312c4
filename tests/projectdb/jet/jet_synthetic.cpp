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

std::string Build(const std::string& testV2003Bytes, std::int32_t rows, bool emptyTexts);

}  // namespace

std::string JetFileWithRows(const std::string& testV2003Bytes, std::int32_t rows) {
  return Build(testV2003Bytes, rows, false);
}

std::string JetFileWithEmptyTexts(const std::string& testV2003Bytes, std::int32_t rows) {
  return Build(testV2003Bytes, rows, true);
}

namespace {

std::string Build(const std::string& testV2003Bytes, std::int32_t rows, bool emptyTexts) {
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
  if (pages.size() > kMapBits) throw std::runtime_error("too many rows for the page map");

  // The page map: type 0, the first page it covers, then one bit per page.
  const std::size_t map =
      kMapPage * kPage + (Get(file, kMapPage * kPage + kRowCount + 2, 2) & 0x1fff);
  Put(file, map + 1, firstPage, 4);
  std::fill(file.begin() + static_cast<std::ptrdiff_t>(map + 5),
            file.begin() + static_cast<std::ptrdiff_t>(map + 5 + kMapBits / 8), '\0');
  for (std::size_t i = 0; i < pages.size(); ++i) {
    file[map + 5 + i / 8] = static_cast<char>(file[map + 5 + i / 8] | (1 << (i % 8)));
  }
  Put(file, kDefinitionPage * kPage + kTableRows, static_cast<std::uint32_t>(rows), 4);
  return file;
}

}  // namespace

}  // namespace velnor::test
