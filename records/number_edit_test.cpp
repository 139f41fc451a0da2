#include "records/number_edit.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace pk {
namespace {

std::string Zeros(size_t count) {
  return std::string(count, '0');
}

// `text` right-aligned in `width` columns, as the output edits write it.
std::string Aligned(const std::string& text, size_t width) {
  return std::string(width - text.size(), ' ') + text;
}

std::string Fixed(double value, int32_t width, int32_t decimals, bool single = false) {
  std::string out(width, '?');
  if (single) {
    EditFixedSingle(static_cast<float>(value), width, decimals, out.data());
  } else {
    EditFixedDouble(value, width, decimals, out.data());
  }
  return out;
}

int32_t Length(const std::string& text) {
  return static_cast<int32_t>(text.size());
}

TEST(IntegerOutput, RightAlignsAndStarsWhenTooLong) {
  std::string out(20, '?');
  EditInteger(std::numeric_limits<int64_t>::min(), 20, out.data());
  EXPECT_EQ(out, "-9223372036854775808");
  EditInteger(-12000, 5, out.data());
  EXPECT_EQ(out.substr(0, 6), "*****3");  // the sixth column is left as it was
}

struct FixedCase {
  double value;
  bool single;
  int32_t width, decimals;
  std::string text;
};

TEST(FixedOutput, RoundsTheExactValueOnceToTheKeptDigits) {
  // clang-format off
  const FixedCase cases[] = {
      {0.1, true, 29, 27, Aligned(".1" + Zeros(26), 29)},
      {12.25, true, 29, 14, Aligned("12.25" + Zeros(12), 29)},
      {123456789.0, true, 29, 14, Aligned("123456800." + Zeros(14), 29)},
      // Stored as 9,999,999,827,968: rounding to 7 digits adds a leading digit.
      {1.0e13, true, 29, 14, "10000000000000." + Zeros(14)},
      {2.0e13, false, 16, 0, " 20000000000000."}, {1.0 / 3, false, 20, 18, " .333333333333333300"},
      {DBL_MAX, false, 320, 0, Aligned("1797693134862316" + Zeros(293) + ".", 320)},
      // The largest subnormal has the longest exact expansion, 767 digits.
      {std::nextafter(DBL_MIN, 0.0), false, 331, 330, "." + Zeros(307) + "2225073858507201" + Zeros(7)},
      {-2.5, false, 3, 0, "-3."}, {0.96, false, 4, 1, " 1.0"}, {99999.5, false, 7, 0, "100000."},
      {0.0006, false, 5, 3, " .001"},
      // Stored just below 0.15; rounding a rounded 17-digit text again would give .2.
      {0.15, false, 3, 1, " .1"},
  };
  // clang-format on
  for (const FixedCase& c : cases) {
    EXPECT_EQ(Fixed(c.value, c.width, c.decimals, c.single), c.text) << c.value;
  }
}

TEST(FixedOutput, ZeroIsUnsignedAndUnfitTextsAreStars) {
  EXPECT_EQ(Fixed(-0.0001, 5, 3), " .000");
  EXPECT_EQ(Fixed(-0.4, 3, 0), " 0.");
  EXPECT_EQ(Fixed(-0.5, 4, 1), " -.5");
  EXPECT_EQ(Fixed(-1.0, 3, 1), "***");
  EXPECT_EQ(Fixed(FLT_MAX, 29, 0, true), std::string(29, '*'));
  EXPECT_EQ(Fixed(std::nan(""), 4, 1), "****");
  EXPECT_EQ(Fixed(-INFINITY, 4, 1, true), "****");
}

struct IntegerCase {
  const char* text;
  IoStatus status;
  int32_t value;
};

TEST(IntegerInput, ReadsDecimalAndRadixFormsAndLeavesTheTargetOnFailure) {
  // clang-format off
  const IntegerCase cases[] = {
      {"", IO_OK, 0}, {" \t ", IO_OK, 0}, {"1 2", IO_OK, 12}, {"  +7", IO_OK, 7}, {"-5", IO_OK, -5},
      {"12,x", IO_OK, 12}, {",9", IO_OK, 0}, {"16#FF", IO_OK, 255}, {"#ff", IO_OK, 255},
      {"-#FF", IO_OK, -255}, {"2#1010", IO_OK, 10}, {"36#Zz", IO_OK, 1295},
      {"2147483647", IO_OK, 2147483647}, {"12a", IO_INTEGER_SYNTAX, 0}, {"-", IO_INTEGER_SYNTAX, 0},
      {"#", IO_INTEGER_SYNTAX, 0}, {"16#", IO_INTEGER_SYNTAX, 0}, {"1#0", IO_INTEGER_SYNTAX, 0},
      {"37#1", IO_INTEGER_SYNTAX, 0}, {"2#12", IO_INTEGER_SYNTAX, 0}, {"#-1", IO_INTEGER_SYNTAX, 0},
      {"1-", IO_INTEGER_SYNTAX, 0}, {"99999999999999999999999x", IO_INTEGER_SYNTAX, 0},
      {"-2147483648", IO_INTEGER_RANGE, 0}, {"#FFFFFFFF", IO_INTEGER_RANGE, 0},
      {"99999999999999999999999", IO_INTEGER_RANGE, 0},
  };
  // clang-format on
  for (const IntegerCase& c : cases) {
    int32_t target = -99;
    EXPECT_EQ(ReadInteger32(c.text, Length(c.text), &target), c.status) << c.text;
    EXPECT_EQ(target, c.status == IO_OK ? c.value : -99) << c.text;
  }
}

TEST(IntegerInput, SixteenBitTargetsStopAt32767EitherWay) {
  int16_t target = 1;
  EXPECT_EQ(ReadInteger16("-32767", 6, &target), IO_OK);
  EXPECT_EQ(ReadInteger16("-32768", 6, &target), IO_INTEGER_RANGE);
  EXPECT_EQ(ReadInteger16("40000", 5, &target), IO_INTEGER_RANGE);
  EXPECT_EQ(target, -32767);
}

TEST(IntegerInput, ReadsOnlyTheFirstWidthCharactersAndRefusesNul) {
  int32_t target = 0;
  EXPECT_EQ(ReadInteger32("12345", 2, &target), IO_OK);
  EXPECT_EQ(target, 12);
  EXPECT_EQ(ReadInteger32("7\0", 2, &target), IO_INTEGER_SYNTAX);
}

struct RealCase {
  const char* text;
  IoStatus status;
  double value;
};

TEST(RealInput, ReadsMantissaAndExponentFormsAndLeavesTheTargetOnFailure) {
  // clang-format off
  const RealCase cases[] = {
      {"", IO_OK, 0.0}, {"2.5E3", IO_OK, 2500.0}, {".5", IO_OK, 0.5}, {"-5.", IO_OK, -5.0},
      {"12", IO_OK, 12.0}, {"1 . 5", IO_OK, 1.5}, {"1.5+3", IO_OK, 1500.0}, {"1.5-3", IO_OK, 0.0015},
      {"15d-1", IO_OK, 1.5}, {"+2e+2", IO_OK, 200.0}, {"-0.00", IO_OK, 0.0}, {"1,5", IO_OK, 1.0},
      {"-1E-400", IO_OK, 0.0}, {"-", IO_REAL_SYNTAX, 0}, {".", IO_REAL_SYNTAX, 0},
      {"1.2.3", IO_REAL_SYNTAX, 0}, {"1.5X", IO_REAL_SYNTAX, 0}, {"E5", IO_REAL_SYNTAX, 0},
      {"#10", IO_REAL_SYNTAX, 0}, {"1.5E", IO_REAL_EXPONENT, 0}, {"1.5E+", IO_REAL_EXPONENT, 0},
      {"1E3X", IO_REAL_EXPONENT, 0}, {"1+2.0", IO_REAL_EXPONENT, 0}, {"1E309", IO_REAL_RANGE, 0},
  };
  // clang-format on
  for (const RealCase& c : cases) {
    double target = -99.0;
    EXPECT_EQ(ReadRealDouble(c.text, Length(c.text), &target), c.status) << c.text;
    EXPECT_EQ(target, c.status == IO_OK ? c.value : -99.0) << c.text;
    EXPECT_FALSE(target == 0 && std::signbit(target)) << c.text;  // zero reads unsigned
  }
}

TEST(RealInput, SingleTargetRefusesMagnitudesAboveTheLimit) {
  float target = 1.0f;
  EXPECT_EQ(ReadRealSingle("3.402823466E38", 14, &target), IO_OK);
  EXPECT_EQ(ReadRealSingle("-3.4028234661E38", 16, &target), IO_REAL_RANGE);
  EXPECT_EQ(ReadRealSingle("1E39", 4, &target), IO_REAL_RANGE);
  EXPECT_EQ(target, FLT_MAX);
}

TEST(RealInput, RoundsTheFullDecimalNumberOnce) {
  // Just above the midpoint between 1 and the next single: through double it would tie to 1.
  float single = 0.0f;
  EXPECT_EQ(ReadRealSingle("1.000000059604644775390626", 26, &single), IO_OK);
  EXPECT_EQ(single, std::nextafter(1.0f, 2.0f));
  // The exact midpoint 1 + 2^-53 ties to 1; a non-zero digit far beyond it rounds up.
  std::string midpoint = "1.00000000000000011102230246251565404236316680908203125";
  std::string above = midpoint + Zeros(900) + "1";
  double value = 0.0;
  EXPECT_EQ(ReadRealDouble(midpoint.c_str(), Length(midpoint), &value), IO_OK);
  EXPECT_EQ(value, 1.0);
  EXPECT_EQ(ReadRealDouble(above.c_str(), Length(above), &value), IO_OK);
  EXPECT_EQ(value, std::nextafter(1.0, 2.0));
}

// The form shows a real in width 29 with 27, 14 or 0 decimals (bound B) and
// reads it back in width 30; the value must survive within the digits kept.
TEST(RoundTrip, FormTextsReadBackWithinTheKeptDigits) {
  const double samples[] = {0.5,     -0.1,   9.5,    12.25,       3.14159265358979, 1.0e13,
                            -2.0e13, 6.0e23, 1.0e-5, -123456.789, 0.99999,          1.0e27};
  for (double v : samples) {
    int32_t decimals = std::fabs(v) < 1.0 ? 27 : std::fabs(v) > 9999999827968.0 ? 0 : 14;
    std::string text = Fixed(v, 29, decimals, true) + " ";
    float single = 0.0f;
    ASSERT_EQ(ReadRealSingle(text.c_str(), 30, &single), IO_OK) << text;
    EXPECT_NEAR(single, static_cast<float>(v), std::fabs(v) * 6e-7) << text;
    text = Fixed(v, 29, decimals) + " ";
    double value = 0.0;
    ASSERT_EQ(ReadRealDouble(text.c_str(), 30, &value), IO_OK) << text;
    EXPECT_NEAR(value, v, std::fabs(v) * 7e-16) << text;
  }
}

TEST(RoundTrip, EverySixteenBitValueReadsBackFromItsText) {
  char text[8];
  for (int32_t value = -32767; value <= 32767; ++value) {
    EditInteger(value, 8, text);
    int16_t target = 0;
    ASSERT_EQ(ReadInteger16(text, 8, &target), IO_OK);
    ASSERT_EQ(target, value);
  }
}

}  // namespace
}  // namespace pk
