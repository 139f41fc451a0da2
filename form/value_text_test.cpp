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

std::string Real(float v) {
  FieldValue value{};
  value.realValue = v;
  return Shown('R', value);
}

std::string Double(double v) {
  FieldValue value{};
  value.doubleValue = v;
  return Shown('D', value);
}

TEST(ValueText, RealsAreLeftJustifiedWithoutTrailingZeros) {
  EXPECT_EQ(Real(0.5f), ".5");
  EXPECT_EQ(Real(0.0f), "0.0");
  EXPECT_EQ(Real(1.0f), "1.");
  EXPECT_EQ(Real(12.25f), "12.25");
  EXPECT_EQ(Real(0.1f), ".1");
  EXPECT_EQ(Real(9.5f), "9.5");
  EXPECT_EQ(Real(-2.5f), "-2.5");
  EXPECT_EQ(Real(100.0f), "100.");
  EXPECT_EQ(Double(0.5), ".5");
  EXPECT_EQ(Double(12.25), "12.25");
  EXPECT_EQ(Double(-0.0), "0.0");
}

TEST(ValueText, RealsBeyondTheBoundHaveNoDecimals) {
  EXPECT_EQ(Double(2.0e13), "20000000000000.");
  EXPECT_EQ(Double(1.0e13), "10000000000000.");
  EXPECT_EQ(Double(-2.0e13), "-20000000000000.");
  // 1.0E13 in single precision is the bound itself: 14 decimals, rounded to
  // 7 significant digits.
  EXPECT_EQ(Real(1.0e13f), "10000000000000.");
  EXPECT_EQ(Real(3.0e20f), "300000000000000000000.");
}

TEST(ValueText, RealTooWideForTheFieldShowsAsterisks) {
  EXPECT_EQ(Double(1.0e30), std::string(29, '*'));
}

TEST(ValueText, IntegersAreLeftJustified) {
  FieldValue value{};
  value.shortValue = -32767;
  EXPECT_EQ(Shown('I', value), "-32767");
  value.shortValue = 0;
  EXPECT_EQ(Shown('I', value), "0");
  value.longValue = -2147483647;
  EXPECT_EQ(Shown('L', value), "-2147483647");
  value.longValue = 42;
  EXPECT_EQ(Shown('L', value), "42");
}

TEST(ValueText, CharacterFieldShowsItsBufferUpToNulAndThirtyCharacters) {
  char buffer[40] = "Hello";
  FieldValue value{};
  value.text = buffer;
  EXPECT_EQ(Shown('C', value), "Hello");
  const std::string forty(39, 'x');
  forty.copy(buffer, 39);
  buffer[39] = '\0';
  EXPECT_EQ(Shown('C', value), std::string(30, 'x'));
  value.text = nullptr;
  EXPECT_EQ(Shown('C', value), "");
  EXPECT_EQ(Shown('S', value), "");
}

}  // namespace
}  // namespace pk
