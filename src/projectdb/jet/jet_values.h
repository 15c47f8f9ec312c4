#pragma once
// How the values and column types of an Access (Jet) database are written into the
// tool's SQLite databases. Kept apart from the reading of the file, so that each rule
// can be checked on its own.
#include <array>
#include <cstdint>
#include <string>

namespace velnor::jet {

// The column types of the Jet file format, by their stored numbers.
enum class ColumnType : int {
  Boolean = 0x01,
  Byte = 0x02,
  Integer = 0x03,
  Long = 0x04,
  Currency = 0x05,
  Single = 0x06,
  Double = 0x07,
  DateTime = 0x08,
  Binary = 0x09,
  Text = 0x0a,
  Ole = 0x0b,
  Memo = 0x0c,
  Guid = 0x0f,
  Numeric = 0x10,
};

struct ColumnShape {
  int type = 0;         // the stored type number
  int sizeInBytes = 0;  // as stored; a Jet 4 text holds two bytes per character
  bool jet4 = false;
  bool autoNumber = false;
  int precision = 0;  // Numeric only
  int scale = 0;      // Numeric only
};

// The declared type of the converted column ("VARCHAR(50)", "COUNTER", ...), or "" for
// a type the conversion does not know.
std::string DeclaredTypeOf(const ColumnShape& column);

// Yes/No as stored: the database layer of the tool's original platform read True as -1.
inline constexpr std::int64_t kTrue = -1;
inline constexpr std::int64_t kFalse = 0;

// A Single widened to double so that it prints as the shortest decimal that reads back
// as the same Single: 0.01f becomes 0.01, not 0.009999999776482582.
double SingleAsDouble(float value);

// A Currency, stored as an integer count of ten-thousandths, as an exact decimal text
// ("-12.3456", "7", "0.5").
std::string CurrencyText(std::int64_t tenThousandths);

// A Numeric: its sign and its 128-bit magnitude as four 32-bit words, most significant
// first, with scale decimals; as an exact decimal text.
std::string DecimalText(bool negative, const std::array<std::uint32_t, 4>& magnitude, int scale);

// A Date/Time, stored as days since 1899-12-30 with the time of day as the fraction,
// as "YYYY-MM-DD HH:MM:SS" (".mmm" added when the milliseconds are not 0). Before
// 1899-12-30 the integer part counts back and the fraction still counts forward from
// that day's midnight. Empty for a value outside the years 1 to 9999.
std::string DateTimeText(double days);

// A replication id (16 bytes) as Access shows it: "{8-4-4-4-12}" in upper case.
std::string GuidText(const unsigned char* bytes);

}  // namespace velnor::jet
