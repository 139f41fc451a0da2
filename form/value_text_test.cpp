#include "form/value_text.h"

#include <gtest/gtest.h>

#include <string>

namespace pk {
namespace {

std::string Shown(char type, FieldValue value) {
  FixedText<80> scratch;
  for (char& c : scratch.chars) c = '#';
  FieldValueText(type, value, scratch);
  return std::string(scratch.chars);  // the text must end with a NUL
}

TEST(ValueText, RealsAreLeftJustifiedWithoutTrailingZeros) {
  const struct {
    double value;
    const char* single;
    const char* twice;
  } cases[] = {
      {0.5, ".5", ".5"},
      {0.0, "0.0", "0.0"},
      {1.0, "1.", "1."},
      {12.25, "12.25", "12.25"},
      {0.1, ".1", ".1"},
      {9.5, "9.5", "9.5"},
      {-2.5, "-2.5", "-2.5"},
      // 1.0E13 in single precision is the bound itself: 14 decimals, rounded
      // to 7 significant digits; in double precision it lies above the bound.
      {1.0e13, "10000000000000.", "10000000000000."},
      {2.0e13, "20000000000000.", "20000000000000."},
      {1.0e27, "1000000000000000000000000000.", "1000000000000000000000000000."},
      // Too wide for its decimals: shown with none; too wide for the field:
      // in exponent form. Both read back as the same number.
      {-9999999827968.0, "-10000000000000.", "-9999999827968."},
      {1.0e30, "1.000000015E+30", "1.0000000000000000E+30"},
  };
  for (const auto& c : cases) {
    FieldValue value{};
    value.realValue = static_cast<float>(c.value);
    EXPECT_EQ(Shown('R', value), c.single) << c.value;
    value.doubleValue = c.value;
    EXPECT_EQ(Shown('D', value), c.twice) << c.value;
  }
}

TEST(ValueText, IntegersAreLeftJustified) {
  FieldValue value{};
  value.shortValue = -32767;
  EXPECT_EQ(Shown('I', value), "-32767");
  value.longValue = -2147483647;
  EXPECT_EQ(Shown('L', value), "-2147483647");
  value.longValue = 0;
  EXPECT_EQ(Shown('L', value), "0");
}

TEST(ValueText, CharacterFieldShowsItsBufferUpToNulAndThirtyCharacters) {
  char buffer[40] = "Hello";
  FieldValue value{};
  value.text = buffer;
  EXPECT_EQ(Shown('C', value), "Hello");
  std::string(39, 'x').copy(buffer, 39);
  EXPECT_EQ(Shown('C', value), std::string(30, 'x'));
  value.text = nullptr;
  EXPECT_EQ(Shown('C', value), "");
}

}  // namespace
}  // namespace pk
