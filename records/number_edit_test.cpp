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

// The text right-aligned in `width` columns, as the edits write it.
std::string Aligned(const std::string& text, int32_t width) {
  return std::string(width - text.size(), ' ') + text;
}

std::string Single(float value, int32_t width, int32_t decimals) {
  std::string out(width, '?');
  EditFixedSingle(value, width, decimals, out.data());
  return out;
}

std::string Double(double value, int32_t width, int32_t decimals) {
  std::string out(width, '?');
  EditFixedDouble(value, width, decimals, out.data());
  return out;
}

TEST(IntegerOutput, RightAlignsAndStarsWhenTooLong) {
  std::string out(6, '?');
  EditInteger(-120, 6, out.data());
  EXPECT_EQ(out, "  -120");
  EditInteger(-12000, 5, out.data());
  EXPECT_EQ(out.substr(0, 5), "*****");
  out.assign(20, '?');
  EditInteger(std::numeric_limits<int64_t>::min(), 20, out.data());
  EXPECT_EQ(out, "-9223372036854775808");
}

TEST(FixedOutput, KeepsSevenSignificantDigitsOfASingle) {
  EXPECT_EQ(Single(0.1f, 29, 27), Aligned(".1" + Zeros(26), 29));
  EXPECT_EQ(Single(12.25f, 29, 14), Aligned("12.25" + Zeros(12), 29));
  EXPECT_EQ(Single(123456789.0f, 29, 14), Aligned("123456800." + Zeros(14), 29));
  // 1.0E13 is stored as 9,999,999,827,968 and rounds up to a new leading digit.
  EXPECT_EQ(Single(1.0e13f, 29, 14), "10000000000000." + Zeros(14));
  EXPECT_EQ(Single(9.5f, 6, 2), "  9.50");
}

TEST(FixedOutput, KeepsSixteenSignificantDigitsOfADouble) {
  EXPECT_EQ(Double(2.0e13, 29, 0), Aligned("20000000000000.", 29));
  EXPECT_EQ(Double(0.1, 29, 27), Aligned(".1" + Zeros(26), 29));
  EXPECT_EQ(Double(1.0 / 3, 20, 18), " .333333333333333300");
  EXPECT_EQ(Double(DBL_MAX, 320, 0), Aligned("1797693134862316" + Zeros(293) + ".", 320));
  // The smallest subnormal needs the longest exact expansion.
  EXPECT_EQ(Double(std::numeric_limits<double>::denorm_min(), 331, 330),
            "." + Zeros(323) + "4940656");
}

TEST(FixedOutput, RoundsTheExactValueOnceHalfAwayFromZero) {
  EXPECT_EQ(Double(2.5, 3, 0), " 3.");
  EXPECT_EQ(Double(-2.5, 3, 0), "-3.");
  EXPECT_EQ(Double(0.96, 4, 1), " 1.0");
  EXPECT_EQ(Double(99999.5, 7, 0), "100000.");
  EXPECT_EQ(Double(0.0006, 5, 3), " .001");
  // 0.15 is stored just below 0.15: rounding a 17-digit rounded text again would give .2.
  EXPECT_EQ(Double(0.15, 3, 1), " .1");
}

TEST(FixedOutput, ZeroHasNoSignAndAnIntegerDigitOnlyWithoutDecimals) {
  EXPECT_EQ(Double(-0.0001, 5, 3), " .000");
  EXPECT_EQ(Double(-0.4, 3, 0), " 0.");
  EXPECT_EQ(Double(-0.0, 3, 0), " 0.");
  EXPECT_EQ(Double(0.5, 3, 0), " 1.");
  EXPECT_EQ(Double(-0.5, 4, 1), " -.5");
}

TEST(FixedOutput, FillsWithAsterisksWhenNoTextFits) {
  EXPECT_EQ(Double(123.0, 3, 0), "***");
  EXPECT_EQ(Double(-1.0, 3, 1), "***");
  EXPECT_EQ(Single(FLT_MAX, 29, 0), std::string(29, '*'));
  EXPECT_EQ(Double(std::nan(""), 4, 1), "****");
  EXPECT_EQ(Single(-INFINITY, 4, 1), "****");
}

struct IntegerCase {
  const char* text;
  IoStatus status;
  int32_t value;
};

TEST(IntegerInput, ReadsDecimalAndRadixForms) {
  const IntegerCase cases[] = {
      {"", IO_OK, 0},
      {" \t ", IO_OK, 0},
      {"1 2", IO_OK, 12},
      {"  +7", IO_OK, 7},
      {"-5", IO_OK, -5},
      {"12,x", IO_OK, 12},
      {",9", IO_OK, 0},
      {"16#FF", IO_OK, 255},
      {"#ff", IO_OK, 255},
      {"-#FF", IO_OK, -255},
      {"2#1010", IO_OK, 10},
      {"36#Zz", IO_OK, 1295},
      {"12a", IO_INTEGER_SYNTAX, 0},
      {"-", IO_INTEGER_SYNTAX, 0},
      {"#", IO_INTEGER_SYNTAX, 0},
      {"16#", IO_INTEGER_SYNTAX, 0},
      {"1#0", IO_INTEGER_SYNTAX, 0},
      {"37#1", IO_INTEGER_SYNTAX, 0},
      {"2#12", IO_INTEGER_SYNTAX, 0},
      {"#-1", IO_INTEGER_SYNTAX, 0},
      {"1-", IO_INTEGER_SYNTAX, 0},
      {"2147483647", IO_OK, 2147483647},
      {"-2147483648", IO_INTEGER_RANGE, 0},
      {"#FFFFFFFF", IO_INTEGER_RANGE, 0},
      {"99999999999999999999999", IO_INTEGER_RANGE, 0},
      {"99999999999999999999999x", IO_INTEGER_SYNTAX, 0},
  };
  for (const IntegerCase& c : cases) {
    int32_t target = -99;
    EXPECT_EQ(ReadInteger32(c.text, static_cast<int32_t>(std::strlen(c.text)), &target), c.status)
        << c.text;
    EXPECT_EQ(target, c.status == IO_OK ? c.value : -99) << c.text;
  }
}

TEST(IntegerInput, SixteenBitTargetsStopAt32767EitherWay) {
  int16_t target = 1;
  EXPECT_EQ(ReadInteger16("-32767", 6, &target), IO_OK);
  EXPECT_EQ(target, -32767);
  EXPECT_EQ(ReadInteger16("-32768", 6, &target), IO_INTEGER_RANGE);
  EXPECT_EQ(ReadInteger16("40000", 5, &target), IO_INTEGER_RANGE);
  EXPECT_EQ(target, -32767);
}

TEST(IntegerInput, ReadsOnlyTheFirstWidthCharactersAndRefusesNul) {
  int32_t target = 0;
  EXPECT_EQ(ReadInteger32("12345", 2, &target), IO_OK);
  EXPECT_EQ(target, 12);
  EXPECT_EQ(ReadInteger32("7\0", 2, &target), IO_INTEGER_SYNTAX);
  EXPECT_EQ(target, 12);
}

struct RealCase {
  const char* text;
  IoStatus status;
  double value;
};

TEST(RealInput, ReadsMantissaAndExponentForms) {
  const RealCase cases[] = {
      {"", IO_OK, 0.0},
      {"2.5E3", IO_OK, 2500.0},
      {".5", IO_OK, 0.5},
      {"-5.", IO_OK, -5.0},
      {"12", IO_OK, 12.0},
      {"1 . 5", IO_OK, 1.5},
      {"1.5+3", IO_OK, 1500.0},
      {"1.5-3", IO_OK, 0.0015},
      {"15d-1", IO_OK, 1.5},
      {"+2e+2", IO_OK, 200.0},
      {"-0.00", IO_OK, 0.0},
      {"1,5", IO_OK, 1.0},
      {"-1E-400", IO_OK, 0.0},
      {"-", IO_REAL_SYNTAX, 0},
      {".", IO_REAL_SYNTAX, 0},
      {"1.2.3", IO_REAL_SYNTAX, 0},
      {"1.5X", IO_REAL_SYNTAX, 0},
      {"E5", IO_REAL_SYNTAX, 0},
      {"#10", IO_REAL_SYNTAX, 0},
      {"1.5E", IO_REAL_EXPONENT, 0},
      {"1.5E+", IO_REAL_EXPONENT, 0},
      {"1E3X", IO_REAL_EXPONENT, 0},
      {"1+2.0", IO_REAL_EXPONENT, 0},
      {"1E309", IO_REAL_RANGE, 0},
  };
  for (const RealCase& c : cases) {
    double target = -99.0;
    EXPECT_EQ(ReadRealDouble(c.text, static_cast<int32_t>(std::strlen(c.text)), &target), c.status)
        << c.text;
    EXPECT_EQ(target, c.status == IO_OK ? c.value : -99.0) << c.text;
    EXPECT_FALSE(target == 0 && std::signbit(target)) << c.text;
  }
}

TEST(RealInput, SingleTargetRefusesMagnitudesAboveTheLimit) {
  float target = 1.0f;
  EXPECT_EQ(ReadRealSingle("3.402823466E38", 14, &target), IO_OK);
  EXPECT_EQ(target, FLT_MAX);
  EXPECT_EQ(ReadRealSingle("-3.4028234661E38", 16, &target), IO_REAL_RANGE);
  EXPECT_EQ(ReadRealSingle("1E39", 4, &target), IO_REAL_RANGE);
  EXPECT_EQ(target, FLT_MAX);
}

TEST(RealInput, RoundsTheFullDecimalNumberOnce) {
  // Just above the midpoint between 1 and the next single: through double it would tie to 1.
  float single = 0.0f;
  EXPECT_EQ(ReadRealSingle("1.000000059604644775390626", 26, &single), IO_OK);
  EXPECT_EQ(single, std::nextafter(1.0f, 2.0f));
  // The exact midpoint 1 + 2^-53 ties to 1; a non-zero digit far beyond the kept
  // digits must still push it up.
  std::string midpoint = "1.00000000000000011102230246251565404236316680908203125";
  double value = 0.0;
  EXPECT_EQ(ReadRealDouble(midpoint.c_str(), static_cast<int32_t>(midpoint.size()), &value), IO_OK);
  EXPECT_EQ(value, 1.0);
  std::string above = midpoint + Zeros(900) + "1";
  EXPECT_EQ(ReadRealDouble(above.c_str(), static_cast<int32_t>(above.size()), &value), IO_OK);
  EXPECT_EQ(value, std::nextafter(1.0, 2.0));
}

// The form shows a real in width 29 with 27, 14 or 0 decimals and reads it
// back in width 30; the value must survive within the digits kept.
int32_t FormDecimals(double value) {
  const double bound = 9999999827968.0;
  if (std::fabs(value) < 1.0) return 27;
  return std::fabs(value) > bound ? 0 : 14;
}

TEST(RoundTrip, FormTextsReadBackWithinTheKeptDigits) {
  const double samples[] = {0.5,     -0.1,      9.5,     12.25,      3.14159265358979,
                            1.0e13,  -2.0e13,   6.02e23, 1.0e-5,     -123456.789,
                            0.99999, 65504.125, 1.0e27,  7.77777e-9, -4.0e20};
  for (double sample : samples) {
    std::string text = Single(static_cast<float>(sample), 29, FormDecimals(sample)) + " ";
    float single = 0.0f;
    ASSERT_EQ(ReadRealSingle(text.c_str(), 30, &single), IO_OK) << text;
    EXPECT_NEAR(single, static_cast<float>(sample), std::fabs(sample) * 6e-7 + 1e-27) << text;

    text = Double(sample, 29, FormDecimals(sample)) + " ";
    double value = 0.0;
    ASSERT_EQ(ReadRealDouble(text.c_str(), 30, &value), IO_OK) << text;
    EXPECT_NEAR(value, sample, std::fabs(sample) * 7e-16 + 1e-27) << text;
  }
}

TEST(RoundTrip, EverySixteenBitValueReadsBackFromItsText) {
  char text[8];
  for (int32_t value = -32767; value <= 32767; ++value) {
    EditInteger(value, 8, text);
    int16_t target = 0;
    ASSERT_EQ(ReadInteger16(text, 8, &target), IO_OK) << value;
    ASSERT_EQ(target, value);
  }
}

}  // namespace
}  // namespace pk
