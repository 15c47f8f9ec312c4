#include "projectdb/jet/jet_values.h"

#include <gtest/gtest.h>

namespace velnor::jet {
namespace {

TEST(JetValues, DatesDecodeFromDaysSince18991230) {
  const struct {
    double days;
    const char* text;
  } cases[] = {
      {0.0, "1899-12-30 00:00:00"},
      {1.0, "1899-12-31 00:00:00"},
      {2.0, "1900-01-01 00:00:00"},
      {60.0, "1900-02-28 00:00:00"},
      {61.0, "1900-03-01 00:00:00"},
      {36526.5, "2000-01-01 12:00:00"},
      {-1.25, "1899-12-29 06:00:00"},
      {-657434.0, "0100-01-01 00:00:00"},
      {2958465.999988426, "9999-12-31 23:59:59"},
      {73051.0, "2100-01-01 00:00:00"},
      {-36522.0, "1800-01-01 00:00:00"},
      {0.5000057870370370, "1899-12-30 12:00:00.500"},
      {1.9999999999, "1900-01-01 00:00:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.days);
    EXPECT_EQ(DateTimeText(c.days), c.text);
  }
}

TEST(JetValues, DatesOutsideTheCalendarAreRefused) {
  EXPECT_EQ(DateTimeText(1e9), "");
  EXPECT_EQ(DateTimeText(-700000.0), "");
}

TEST(JetValues, SinglesReadAsTheirShortestDecimal) {
  const struct {
    float single;
    double expected;
  } cases[] = {
      {0.01f, 0.01}, {1.1f, 1.1}, {-3.4028235e38f, -3.4028235e38}, {16777217.0f, 16777216.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(SingleAsDouble(c.single), c.expected);
  }
}

TEST(JetValues, CurrencyIsTheStoredIntegerOverTenThousand) {
  const struct {
    std::int64_t stored;
    const char* text;
  } cases[] = {{0, "0"},      {10000, "1"},   {-123456, "-12.3456"},
               {5, "0.0005"}, {15000, "1.5"}, {INT64_MIN, "-922337203685477.5808"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(CurrencyText(c.stored), c.text);
  }
}

TEST(JetValues, NumericsKeepEveryDigit) {
  const struct {
    bool negative;
    std::array<std::uint32_t, 4> magnitude;
    int scale;
    const char* text;
  } cases[] = {
      {false, {0, 0, 0, 12345}, 2, "123.45"}, {true, {0, 0, 0, 5}, 3, "-0.005"},
      {false, {0, 0, 1, 0}, 0, "4294967296"}, {false, {0, 0x1, 0, 0}, 0, "18446744073709551616"},
      {true, {0, 0, 0, 0}, 2, "0"},           {false, {0, 0, 0, 1200}, 2, "12"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DecimalText(c.negative, c.magnitude, c.scale), c.text);
  }
}

TEST(JetValues, ColumnsAreDeclaredWithTheTypesTheToolKnows) {
  const struct {
    ColumnShape shape;
    const char* declared;
  } cases[] = {
      {{0x0a, 100, true, false, 0, 0}, "VARCHAR(50)"},
      {{0x0a, 50, false, false, 0, 0}, "VARCHAR(50)"},
      {{0x0c, 0, true, false, 0, 0}, "LONGTEXT"},
      {{0x02, 1, true, false, 0, 0}, "BYTE"},
      {{0x03, 2, true, false, 0, 0}, "SMALLINT"},
      {{0x04, 4, true, false, 0, 0}, "LONG"},
      {{0x04, 4, true, true, 0, 0}, "COUNTER"},
      {{0x06, 4, true, false, 0, 0}, "FLOAT"},
      {{0x07, 8, true, false, 0, 0}, "DOUBLE"},
      {{0x05, 8, true, false, 0, 0}, "CURRENCY"},
      {{0x01, 0, true, false, 0, 0}, "BIT"},
      {{0x08, 8, true, false, 0, 0}, "DATETIME"},
      {{0x0b, 0, true, false, 0, 0}, "LONGBINARY"},
      {{0x09, 255, true, false, 0, 0}, "VARBINARY(255)"},
      {{0x10, 17, true, false, 18, 2}, "DECIMAL(18,2)"},
      {{0x0f, 16, true, false, 0, 0}, "GUID"},
      {{0x12, 4, true, false, 0, 0}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.declared);
    EXPECT_EQ(DeclaredTypeOf(c.shape), c.declared);
  }
}

TEST(JetValues, GuidsReadAsAccessShowsThem) {
  const unsigned char bytes[16] = {0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0x78, 0x56,
                                   0x9a, 0xbc, 0xde, 0xf0, 0x01, 0x23, 0x45, 0x67};
  EXPECT_EQ(GuidText(bytes), "{12345678-1234-5678-9ABC-DEF001234567}");
}

}  // namespace
}  // namespace velnor::jet
