#include "form/value_text.h"

#include <cmath>
#include <cstdio>

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

// The value in exponent form with enough digits to read back exactly
// (10 significant digits for single precision, 17 for double).
void ExponentText(double value, int32_t digitsAfterPoint, FixedText<80>& scratch) {
  char text[40];
  const int length = std::snprintf(text, sizeof text, "%.*E", digitsAfterPoint, value);
  int32_t column = 0;
  for (; column < length && column < SHOWN_COLUMNS; ++column) scratch.chars[column] = text[column];
  scratch.chars[column] = '\0';
}

// A real in the fixed-point edit, falling back to fewer decimals and then to
// the exponent form where the fixed-point text would be only asterisks. The
// bound value itself, for one, rounds to 15 integer digits with 14 decimals.
// Returns false when the text is in exponent form (nothing to trim).
template <typename Real, typename Edit>
bool RealText(Real value, Edit edit, int32_t exactDigits, FixedText<80>& scratch) {
  const int32_t decimals = RealDecimals(value);
  edit(value, REAL_WIDTH, decimals, scratch.chars);
  if (scratch.At(1) == '*' && decimals != 0) edit(value, REAL_WIDTH, 0, scratch.chars);
  if (scratch.At(1) == '*' && std::isfinite(value)) {
    ExponentText(value, exactDigits - 1, scratch);
    return false;
  }
  scratch.At(REAL_WIDTH + 1) = '\0';
  return true;
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
      if (!RealText(value.realValue, EditFixedSingle, 10, scratch)) return;
      break;
    case 'D':
      if (!RealText(value.doubleValue, EditFixedDouble, 17, scratch)) return;
      break;
    default:
      scratch.At(1) = '\0';
      return;
  }
  LeftJustify(scratch);
  TrimZeros(scratch);
}

}  // namespace pk
