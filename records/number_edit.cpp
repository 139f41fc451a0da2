#include "records/number_edit.h"

#include <cmath>
#include <cstdlib>

namespace pk {

namespace {

void FillAsterisks(int32_t width, char* out) {
  for (int32_t i = 0; i < width; ++i) out[i] = '*';
}

// ---------------------------------------------------------------------------
// Exact decimal expansion of a double.

// A non-negative integer in base 10^9, least significant limb first. The
// largest need is a subnormal's odd mantissa (below 2^53) times 5^1074, 767
// decimal digits, so 90 limbs are enough.
constexpr uint32_t LIMB_BASE = 1000000000;
constexpr int32_t LIMB_CAPACITY = 90;

struct BigDecimal {
  uint32_t limbs[LIMB_CAPACITY];
  int32_t count;
};

// factor < 2^31, so limb * factor + carry stays below 2^64.
void MultiplySmall(BigDecimal& number, uint32_t factor) {
  uint64_t carry = 0;
  for (int32_t i = 0; i < number.count; ++i) {
    uint64_t product = static_cast<uint64_t>(number.limbs[i]) * factor + carry;
    number.limbs[i] = static_cast<uint32_t>(product % LIMB_BASE);
    carry = product / LIMB_BASE;
  }
  while (carry != 0) {
    number.limbs[number.count++] = static_cast<uint32_t>(carry % LIMB_BASE);
    carry /= LIMB_BASE;
  }
}

void MultiplyPower(BigDecimal& number, uint32_t base, int32_t exponent, uint32_t chunkFactor,
                   int32_t chunkExponent) {
  for (; exponent >= chunkExponent; exponent -= chunkExponent) MultiplySmall(number, chunkFactor);
  uint32_t rest = 1;
  for (; exponent > 0; --exponent) rest *= base;
  MultiplySmall(number, rest);
}

// The first 17 significant digits of a magnitude, cut without rounding, and
// its decimal exponent: magnitude = 0.d1 d2 d3 ... x 10^exponent.
constexpr int32_t EXACT_DIGITS = 17;

struct LeadingDigits {
  char digits[EXACT_DIGITS];
  int32_t exponent;
};

// magnitude must be finite and greater than 0.
LeadingDigits ExpandExactly(double magnitude) {
  int32_t binaryExponent = 0;
  double fraction = std::frexp(magnitude, &binaryExponent);
  uint64_t mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
  binaryExponent -= 53;
  while ((mantissa & 1) == 0 && binaryExponent < 0) {
    mantissa >>= 1;
    ++binaryExponent;
  }
  // magnitude = mantissa * 2^e; for e < 0 that is mantissa * 5^-e / 10^-e.
  BigDecimal number;
  number.count = 0;
  for (; mantissa != 0; mantissa /= LIMB_BASE) {
    number.limbs[number.count++] = static_cast<uint32_t>(mantissa % LIMB_BASE);
  }
  int32_t decimalShift = 0;
  if (binaryExponent >= 0) {
    MultiplyPower(number, 2, binaryExponent, 1u << 29, 29);
  } else {
    MultiplyPower(number, 5, -binaryExponent, 1220703125u, 13);  // 5^13
    decimalShift = -binaryExponent;
  }

  LeadingDigits result;
  int32_t digitCount = 0;
  int32_t kept = 0;
  for (int32_t limb = number.count - 1; limb >= 0; --limb) {
    char chunk[9];
    uint32_t value = number.limbs[limb];
    for (int32_t i = 8; i >= 0; --i, value /= 10) chunk[i] = static_cast<char>('0' + value % 10);
    int32_t first = 0;
    if (limb == number.count - 1) {
      while (chunk[first] == '0') ++first;
    }
    for (int32_t i = first; i < 9; ++i, ++digitCount) {
      if (kept < EXACT_DIGITS) result.digits[kept++] = chunk[i];
    }
  }
  while (kept < EXACT_DIGITS) result.digits[kept++] = '0';
  result.exponent = digitCount - decimalShift;
  return result;
}

// ---------------------------------------------------------------------------
// Fixed-point output.

// The rounded value: digits r1..rCount (at most 16, plus one after a carry)
// with value 0.r1 r2 ... x 10^exponent, or zero.
struct RoundedDigits {
  char digits[EXACT_DIGITS + 1];
  int32_t count;
  int32_t exponent;
  bool isZero;
};

RoundedDigits RoundOnce(double magnitude, int32_t significant, int32_t decimals) {
  RoundedDigits rounded{};
  rounded.isZero = true;
  if (magnitude == 0) return rounded;
  LeadingDigits exact = ExpandExactly(magnitude);
  // Digits down to the d-th decimal, in int64 because d may be near INT32_MAX.
  int64_t keep = static_cast<int64_t>(exact.exponent) + decimals;
  if (keep > significant) keep = significant;
  if (keep < 0) return rounded;
  int32_t count = static_cast<int32_t>(keep);
  for (int32_t i = 0; i < count; ++i) rounded.digits[i] = exact.digits[i];
  rounded.count = count;
  rounded.exponent = exact.exponent;
  if (exact.digits[count] >= '5') {
    int32_t i = count - 1;
    while (i >= 0 && rounded.digits[i] == '9') rounded.digits[i--] = '0';
    if (i >= 0) {
      ++rounded.digits[i];
    } else {  // all nines (or nothing kept): the carry adds a leading 1
      rounded.digits[0] = '1';
      rounded.count = 1;
      ++rounded.exponent;
    }
  }
  rounded.isZero = rounded.count == 0;
  return rounded;
}

// The digit of the rounded value at 1-based significant position `index`.
char DigitAt(const RoundedDigits& rounded, int64_t index) {
  return index >= 1 && index <= rounded.count ? rounded.digits[index - 1] : '0';
}

void EditFixed(double value, int32_t significant, int32_t width, int32_t decimals, char* out) {
  if (width <= 0) return;
  if (!std::isfinite(value)) {
    FillAsterisks(width, out);
    return;
  }
  if (decimals < 0) decimals = 0;
  RoundedDigits rounded = RoundOnce(std::fabs(value), significant, decimals);
  bool hasSign = std::signbit(value) && !rounded.isZero;
  bool integerIsZero = rounded.isZero || rounded.exponent <= 0;
  int64_t integerDigits = integerIsZero ? (decimals == 0 ? 1 : 0) : rounded.exponent;
  int64_t length = (hasSign ? 1 : 0) + integerDigits + 1 + decimals;
  if (length > width) {
    FillAsterisks(width, out);
    return;
  }
  int32_t pos = 0;
  for (int64_t i = length; i < width; ++i) out[pos++] = ' ';
  if (hasSign) out[pos++] = '-';
  for (int64_t i = 1; i <= integerDigits; ++i)
    out[pos++] = integerIsZero ? '0' : DigitAt(rounded, i);
  out[pos++] = '.';
  int64_t firstDecimal = rounded.isZero ? 0 : rounded.exponent;
  for (int64_t j = 1; j <= decimals; ++j) out[pos++] = DigitAt(rounded, firstDecimal + j);
}

// ---------------------------------------------------------------------------
// Input fields.

constexpr int32_t FIELD_END = -1;

// Walks the significant characters of an input field: the first `width`
// characters, up to a comma, skipping blanks and tabs.
struct FieldCursor {
  const char* field;
  int32_t width;
  int32_t position;
};

// The next significant character as an unsigned byte, or FIELD_END.
int32_t Peek(FieldCursor& cursor) {
  while (cursor.position < cursor.width &&
         (cursor.field[cursor.position] == ' ' || cursor.field[cursor.position] == '\t')) {
    ++cursor.position;
  }
  if (cursor.position >= cursor.width || cursor.field[cursor.position] == ',') return FIELD_END;
  return static_cast<unsigned char>(cursor.field[cursor.position]);
}

void Advance(FieldCursor& cursor) {
  ++cursor.position;
}

bool IsSign(int32_t c) {
  return c == '+' || c == '-';
}
bool IsDecimalDigit(int32_t c) {
  return c >= '0' && c <= '9';
}

// Consumes an optional sign; true when it was "-".
bool TakeSign(FieldCursor& cursor) {
  int32_t c = Peek(cursor);
  if (!IsSign(c)) return false;
  Advance(cursor);
  return c == '-';
}

// ---------------------------------------------------------------------------
// Integer input.

// The value of c as a digit of any base up to 36, or 36 when it is none.
uint32_t RadixDigit(int32_t c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'A' && c <= 'Z') return static_cast<uint32_t>(c - 'A' + 10);
  if (c >= 'a' && c <= 'z') return static_cast<uint32_t>(c - 'a' + 10);
  return 36;
}

// Reads one or more digits of `base`, stopping before the first character
// that is not one; the magnitude saturates at cap. False when no digit stands.
bool TakeDigits(FieldCursor& cursor, uint32_t base, uint64_t cap, uint64_t* magnitude) {
  bool any = false;
  uint64_t value = 0;
  for (uint32_t digit = RadixDigit(Peek(cursor)); digit < base; digit = RadixDigit(Peek(cursor))) {
    value = value * base + digit;
    if (value > cap) value = cap;
    any = true;
    Advance(cursor);
  }
  *magnitude = value;
  return any;
}

IoStatus ReadInteger(const char* field, int32_t width, int64_t limit, int64_t* result) {
  FieldCursor cursor{field, width, 0};
  if (Peek(cursor) == FIELD_END) {
    *result = 0;
    return IO_OK;
  }
  bool negative = TakeSign(cursor);
  // One above the limit marks "out of range" without overflowing.
  uint64_t cap = static_cast<uint64_t>(limit) + 1;
  uint64_t magnitude = 0;
  uint32_t base = 10;
  bool hasDecimal = TakeDigits(cursor, 10, cap, &magnitude);
  if (Peek(cursor) == '#') {
    Advance(cursor);
    if (hasDecimal && (magnitude < 2 || magnitude > 36)) return IO_INTEGER_SYNTAX;
    base = hasDecimal ? static_cast<uint32_t>(magnitude) : 16;
    if (!TakeDigits(cursor, base, cap, &magnitude)) return IO_INTEGER_SYNTAX;
  } else if (!hasDecimal) {
    return IO_INTEGER_SYNTAX;
  }
  if (Peek(cursor) != FIELD_END) return IO_INTEGER_SYNTAX;
  if (magnitude > static_cast<uint64_t>(limit)) return IO_INTEGER_RANGE;
  int64_t value = static_cast<int64_t>(magnitude);
  *result = negative ? -value : value;
  return IO_OK;
}

// ---------------------------------------------------------------------------
// Real input.

// Significant digits kept for the conversion. Every halfway point between two
// doubles has at most 767 significant digits, so keeping 800 and standing in
// for any dropped non-zero digits with one final 1 rounds exactly as the full
// number would.
constexpr int32_t REAL_DIGIT_CAPACITY = 800;
// Beyond this decimal exponent any kept mantissa overflows or underflows.
constexpr int64_t REAL_EXPONENT_CLAMP = 99999;

// A decimal number read from a field: digits (no leading zeros) x 10^scale.
struct DecimalText {
  char digits[REAL_DIGIT_CAPACITY + 1];
  int32_t count;
  int64_t scale;
  bool negative;
};

IoStatus TakeMantissa(FieldCursor& cursor, DecimalText* number) {
  bool anyDigit = false;
  bool afterPoint = false;
  bool dropped = false;
  for (int32_t c = Peek(cursor); IsDecimalDigit(c) || (c == '.' && !afterPoint); c = Peek(cursor)) {
    Advance(cursor);
    if (c == '.') {
      afterPoint = true;
      continue;
    }
    anyDigit = true;
    if (c == '0' && number->count == 0) {
      if (afterPoint) --number->scale;
    } else if (number->count < REAL_DIGIT_CAPACITY) {
      number->digits[number->count++] = static_cast<char>(c);
      if (afterPoint) --number->scale;
    } else {
      dropped = dropped || c != '0';
      if (!afterPoint) ++number->scale;
    }
  }
  if (!anyDigit) return IO_REAL_SYNTAX;
  if (dropped) {
    number->digits[number->count++] = '1';
    --number->scale;
  }
  return IO_OK;
}

IoStatus TakeExponent(FieldCursor& cursor, int64_t* exponent) {
  int32_t c = Peek(cursor);
  if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
    Advance(cursor);
  } else if (!IsSign(c)) {
    return c == FIELD_END ? IO_OK : IO_REAL_SYNTAX;
  }
  bool negative = TakeSign(cursor);
  uint64_t magnitude = 0;
  if (!TakeDigits(cursor, 10, REAL_EXPONENT_CLAMP, &magnitude)) return IO_REAL_EXPONENT;
  if (Peek(cursor) != FIELD_END) return IO_REAL_EXPONENT;
  *exponent = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  return IO_OK;
}

IoStatus ParseReal(const char* field, int32_t width, DecimalText* number) {
  FieldCursor cursor{field, width, 0};
  number->count = 0;
  number->scale = 0;
  number->negative = false;
  if (Peek(cursor) == FIELD_END) return IO_OK;
  number->negative = TakeSign(cursor);
  IoStatus status = TakeMantissa(cursor, number);
  if (status != IO_OK) return status;
  int64_t exponent = 0;
  status = TakeExponent(cursor, &exponent);
  if (status != IO_OK) return status;
  int64_t scale = number->scale + exponent;
  if (scale > REAL_EXPONENT_CLAMP) scale = REAL_EXPONENT_CLAMP;
  if (scale < -REAL_EXPONENT_CLAMP) scale = -REAL_EXPONENT_CLAMP;
  number->scale = scale;
  return IO_OK;
}

// The number as "digits e scale" with no decimal point, so the conversion does
// not depend on the locale's decimal separator.
struct ConversionText {
  // sign, digits with the stand-in 1, "e", exponent sign, 5 digits, NUL
  char chars[1 + (REAL_DIGIT_CAPACITY + 1) + 1 + 1 + 5 + 1];
};

void BuildConversionText(const DecimalText& number, ConversionText* text) {
  int32_t pos = 0;
  if (number.negative) text->chars[pos++] = '-';
  if (number.count == 0) text->chars[pos++] = '0';
  for (int32_t i = 0; i < number.count; ++i) text->chars[pos++] = number.digits[i];
  text->chars[pos++] = 'e';
  int64_t scale = number.scale;
  if (scale < 0) text->chars[pos++] = '-';
  char reversed[8];
  int32_t length = 0;
  for (uint64_t magnitude = scale < 0 ? -scale : scale; length == 0 || magnitude != 0;
       magnitude /= 10) {
    reversed[length++] = static_cast<char>('0' + magnitude % 10);
  }
  while (length > 0) text->chars[pos++] = reversed[--length];
  text->chars[pos] = '\0';
}

// True when the magnitude exceeds 3.402823466E38, the largest one a
// single-precision target accepts; compared digit by digit, so exactly.
bool AboveSingleLimit(const DecimalText& number) {
  if (number.count == 0) return false;
  static const char LIMIT_DIGITS[] = "3402823466";
  constexpr int32_t LIMIT_COUNT = 10;
  constexpr int64_t LIMIT_MAGNITUDE = 39;  // the limit is 0.3402823466 x 10^39
  int64_t magnitude = number.scale + number.count;
  if (magnitude != LIMIT_MAGNITUDE) return magnitude > LIMIT_MAGNITUDE;
  for (int32_t i = 0; i < number.count || i < LIMIT_COUNT; ++i) {
    char digit = i < number.count ? number.digits[i] : '0';
    char limit = i < LIMIT_COUNT ? LIMIT_DIGITS[i] : '0';
    if (digit != limit) return digit > limit;
  }
  return false;
}

}  // namespace

void EditInteger(int64_t value, int32_t width, char* out) {
  // Digits are produced from the magnitude as unsigned, so INT64_MIN is safe.
  char digits[24];
  int32_t count = 0;
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) digits[count++] = '-';
  if (count > width) {
    FillAsterisks(width, out);
    return;
  }
  int32_t pad = width - count;
  for (int32_t i = 0; i < pad; ++i) out[i] = ' ';
  for (int32_t i = 0; i < count; ++i) out[pad + i] = digits[count - 1 - i];
}

void EditFixedSingle(float value, int32_t width, int32_t decimals, char* out) {
  EditFixed(value, 7, width, decimals, out);
}

void EditFixedDouble(double value, int32_t width, int32_t decimals, char* out) {
  EditFixed(value, 16, width, decimals, out);
}

IoStatus ReadInteger16(const char* field, int32_t width, int16_t* target) {
  int64_t value = 0;
  IoStatus status = ReadInteger(field, width, 32767, &value);
  if (status == IO_OK) *target = static_cast<int16_t>(value);
  return status;
}

IoStatus ReadInteger32(const char* field, int32_t width, int32_t* target) {
  int64_t value = 0;
  IoStatus status = ReadInteger(field, width, 2147483647, &value);
  if (status == IO_OK) *target = static_cast<int32_t>(value);
  return status;
}

IoStatus ReadRealSingle(const char* field, int32_t width, float* target) {
  DecimalText number;
  IoStatus status = ParseReal(field, width, &number);
  if (status != IO_OK) return status;
  if (AboveSingleLimit(number)) return IO_REAL_RANGE;
  ConversionText text;
  BuildConversionText(number, &text);
  // Converted directly, not through double, so the result is rounded once.
  float value = std::strtof(text.chars, nullptr);
  *target = value == 0 ? 0.0f : value;  // "-0" and underflows read as plain zero
  return IO_OK;
}

IoStatus ReadRealDouble(const char* field, int32_t width, double* target) {
  DecimalText number;
  IoStatus status = ParseReal(field, width, &number);
  if (status != IO_OK) return status;
  ConversionText text;
  BuildConversionText(number, &text);
  double value = std::strtod(text.chars, nullptr);
  if (std::isinf(value)) return IO_REAL_RANGE;
  *target = value == 0 ? 0.0 : value;  // "-0" and underflows read as plain zero
  return IO_OK;
}

}  // namespace pk
