#include "projectdb/jet/jet_values.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace velnor::jet {
namespace {

constexpr std::int64_t kMillisecondsPerDay = 86'400'000;
// Days from 0000-03-01 to 1899-12-30 in the proleptic Gregorian calendar, so that
// the calendar arithmetic below starts its years in March.
constexpr std::int64_t kDaysToEpoch = 693'899;

std::string WithDecimalPoint(std::string digits, int scale, bool negative) {
  if (scale > 0) {
    if (static_cast<int>(digits.size()) <= scale) {
      digits.insert(0, static_cast<std::size_t>(scale) - digits.size() + 1, '0');
    }
    digits.insert(digits.size() - static_cast<std::size_t>(scale), 1, '.');
    // Trailing zeros say nothing about the value: "1.5000" is 1.5.
    while (digits.back() == '0') digits.pop_back();
    if (digits.back() == '.') digits.pop_back();
  }
  const bool zero = digits.find_first_not_of("0.") == std::string::npos;
  return (negative && !zero ? "-" : "") + digits;
}

}  // namespace

std::string DeclaredTypeOf(const ColumnShape& column) {
  switch (static_cast<ColumnType>(column.type)) {
    case ColumnType::Boolean:
      return "BIT";
    case ColumnType::Byte:
      return "BYTE";
    case ColumnType::Integer:
      return "SMALLINT";
    case ColumnType::Long:
      return column.autoNumber ? "COUNTER" : "LONG";
    case ColumnType::Currency:
      return "CURRENCY";
    case ColumnType::Single:
      return "FLOAT";
    case ColumnType::Double:
      return "DOUBLE";
    case ColumnType::DateTime:
      return "DATETIME";
    case ColumnType::Binary:
      return "VARBINARY(" + std::to_string(column.sizeInBytes) + ")";
    case ColumnType::Text:
      return "VARCHAR(" +
             std::to_string(column.jet4 ? column.sizeInBytes / 2 : column.sizeInBytes) + ")";
    case ColumnType::Ole:
      return "LONGBINARY";
    case ColumnType::Memo:
      return "LONGTEXT";
    case ColumnType::Guid:
      return "GUID";
    case ColumnType::Numeric:
      return "DECIMAL(" + std::to_string(column.precision) + "," + std::to_string(column.scale) +
             ")";
  }
  return "";
}

double SingleAsDouble(float value) {
  if (!std::isfinite(value)) return static_cast<double>(value);
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer - 1, value);
  *written.ptr = '\0';
  return std::strtod(buffer, nullptr);
}

std::string CurrencyText(std::int64_t tenThousandths) {
  const bool negative = tenThousandths < 0;
  // The magnitude of the most negative value does not fit an int64.
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                           : static_cast<std::uint64_t>(tenThousandths);
  return WithDecimalPoint(std::to_string(magnitude), 4, negative);
}

std::string DecimalText(bool negative, const std::array<std::uint32_t, 4>& magnitude, int scale) {
  std::array<std::uint32_t, 4> words = magnitude;
  std::string digits;
  // Long division by ten, word by word, most significant first.
  for (;;) {
    bool zero = true;
    std::uint64_t remainder = 0;
    for (std::uint32_t& word : words) {
      const std::uint64_t current = (remainder << 32) | word;
      word = static_cast<std::uint32_t>(current / 10);
      remainder = current % 10;
      zero = zero && word == 0;
    }
    digits.insert(digits.begin(), static_cast<char>('0' + remainder));
    if (zero) break;
  }
  return WithDecimalPoint(digits, scale, negative);
}

std::string DateTimeText(double days) {
  if (!std::isfinite(days) || std::fabs(days) > 3'000'000.0) return "";
  double whole = std::trunc(days);
  std::int64_t milliseconds = std::llround(std::fabs(days - whole) * kMillisecondsPerDay);
  if (milliseconds >= kMillisecondsPerDay) {
    // The time rounds up to the next midnight, which lies further from the epoch.
    whole += days < 0 ? -1 : 1;
    milliseconds = 0;
  }
  // Civil date from a day count, years starting on 1 March so that the leap day ends a
  // year; eras of 400 years repeat exactly.
  const std::int64_t dayNumber = static_cast<std::int64_t>(whole) + kDaysToEpoch;
  const std::int64_t era = (dayNumber >= 0 ? dayNumber : dayNumber - 146'096) / 146'097;
  const std::int64_t dayOfEra = dayNumber - era * 146'097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1'460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const std::int64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const std::int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  if (year < 1 || year > 9999) return "";

  const std::int64_t seconds = milliseconds / 1000;
  char text[40];
  int length = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d",
                             static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
                             static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                             static_cast<int>(seconds % 60));
  if (milliseconds % 1000 != 0) {
    length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ".%03d",
                            static_cast<int>(milliseconds % 1000));
  }
  return std::string(text, static_cast<std::size_t>(length));
}

std::string GuidText(const unsigned char* b) {
  char text[40];
  // The first three groups are stored little-endian, the last two as bytes.
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                b[14], b[15]);
  return text;
}

}  // namespace velnor::jet
