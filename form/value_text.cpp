#include "form/value_text.h"

#include "records/number_edit.h"

namespace pk {

namespace {

constexpr int32_t SHOWN_COLUMNS = 30;  // a value text ends by column 31
constexpr int32_t SHORT_WIDTH = 8;
constexpr int32_t LONG_WIDTH = 18;
constexpr int32_t REAL_WIDTH = 29;
constexpr int32_t FRACTION_DECIMALS = 27;
constexpr int32_t REAL_DECIMALS = 14;

// Drops the leading blanks of the NUL-ended text in columns 1 to 30.
void LeftJustify(FixedText<80>& scratch) {
  scratch.At(SHOWN_COLUMNS + 1) = '\0';
  for (int32_t moves = 0; moves < SHOWN_COLUMNS && scratch.At(1) == BLANK; ++moves) {
    for (int32_t column = 1; column <= SHOWN_COLUMNS; ++column) {
      scratch.At(column) = scratch.At(column + 1);
    }
  }
}

// Drops the trailing zeros of a left-justified real; a lone point is "0.0".
void TrimZeros(FixedText<80>& scratch) {
  int32_t end = 1;
  while (end <= SHOWN_COLUMNS && scratch.At(end) != '\0') ++end;
  while (end > 1 && scratch.At(end - 1) == '0') scratch.At(--end) = '\0';
  if (end - 1 <= 1) {
    scratch.At(1) = '0';
    scratch.At(2) = '.';
    scratch.At(3) = '0';
    scratch.At(4) = '\0';
  }
}

int32_t RealDecimals(double magnitudeTest) {
  if (magnitudeTest > -1.0 && magnitudeTest < 1.0) return FRACTION_DECIMALS;
  if (magnitudeTest > LARGEST_WITH_DECIMALS || magnitudeTest < -LARGEST_WITH_DECIMALS) return 0;
  return REAL_DECIMALS;
}

void CharacterText(const char* buffer, FixedText<80>& scratch) {
  int32_t length = 0;
  if (buffer) {
    while (length < SHOWN_COLUMNS && buffer[length] != '\0') {
      scratch.At(length + 1) = buffer[length];
      ++length;
    }
  }
  scratch.At(length + 1) = '\0';
}

}  // namespace

void FieldValueText(char type, const FieldValue& value, FixedText<80>& scratch) {
  switch (type) {
    case 'C':
      CharacterText(value.text, scratch);
      return;
    case 'I':
      EditInteger(value.shortValue, SHORT_WIDTH, scratch.chars);
      scratch.At(SHORT_WIDTH + 1) = '\0';
      LeftJustify(scratch);
      return;
    case 'L':
      EditInteger(value.longValue, LONG_WIDTH, scratch.chars);
      scratch.At(LONG_WIDTH + 1) = '\0';
      LeftJustify(scratch);
      return;
    case 'R':
      EditFixedSingle(value.realValue, REAL_WIDTH, RealDecimals(value.realValue), scratch.chars);
      break;
    case 'D':
      EditFixedDouble(value.doubleValue, REAL_WIDTH, RealDecimals(value.doubleValue),
                      scratch.chars);
      break;
    default:
      scratch.At(1) = '\0';
      return;
  }
  scratch.At(REAL_WIDTH + 1) = '\0';
  LeftJustify(scratch);
  TrimZeros(scratch);
}

}  // namespace pk
