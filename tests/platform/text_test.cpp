#include "platform/text.h"

#include <gtest/gtest.h>

using platform::FormatGeneral;
using platform::StrToInt;

TEST(TextTest, IntegerConversionFollowsValRules) {
  EXPECT_EQ(StrToInt("  +42"), 42);
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("x1F"), 31);
  EXPECT_EQ(StrToInt("0x1f"), 31);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt("2147483648"), std::nullopt);
  EXPECT_EQ(StrToInt("12abc"), std::nullopt);
  EXPECT_EQ(StrToInt(""), std::nullopt);
  EXPECT_EQ(StrToInt("4 "), std::nullopt);
  EXPECT_EQ(platform::StrToInt64("9223372036854775807"), INT64_MAX);
}

TEST(TextTest, GeneralFormatRoundsToSignificantDigits) {
  EXPECT_EQ(FormatGeneral(4097 / 1048576.0, 5, '.'), "0.0039072");
  EXPECT_EQ(FormatGeneral(5000 / 1048576.0, 5, '.'), "0.0047684");
  EXPECT_EQ(FormatGeneral(1, 5, '.'), "1");
  EXPECT_EQ(FormatGeneral(123456789 / 1048576.0, 5, ','), "117,74");
  EXPECT_EQ(FormatGeneral(30100 / 1048576.0, 5, '.'), "0.028706");
  EXPECT_EQ(FormatGeneral(0, 5, '.'), "0");
  EXPECT_EQ(FormatGeneral(0.00001, 5, '.'), "0.00001");
  EXPECT_EQ(FormatGeneral(0.000001, 5, '.'), "1E-6");
  EXPECT_EQ(FormatGeneral(123456, 5, '.'), "1.2346E5");
  EXPECT_EQ(FormatGeneral(99999, 5, '.'), "99999");
  EXPECT_EQ(FormatGeneral(9999.6, 4, '.'), "1E4");
  EXPECT_EQ(FormatGeneral(465.76, 4, '.'), "465.8");
}

TEST(TextTest, ReplaceIgnoresCaseAndCoversEveryOccurrence) {
  EXPECT_EQ(platform::ReplaceAllIgnoreCase("%a%\\x\\%A%", "%A%", "C:"), "C:\\x\\C:");
  EXPECT_EQ(platform::Trim(" \t x \r\n"), "x");
}
