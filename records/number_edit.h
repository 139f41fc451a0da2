// Number edits: numbers to and from text, as written into and read from
// one-line records by the report and the form engine.
//
// Output edits write exactly `width` characters at `out` (no terminator);
// a width of 0 or less writes nothing. Input edits read the first `width`
// characters of `field`; on success they store the number and return IO_OK,
// on failure they return a positive status and leave the target unchanged.
#pragma once

#include <cstdint>

#include "records/io_status.h"

namespace pk {

// Integer edit Iw: the decimal digits (at least one), a leading "-" when
// negative, right-aligned with leading blanks; w asterisks when too long.
void EditInteger(int64_t value, int32_t width, char* out);

// Fixed-point edit Fw.d of a single-precision value. The value's exact
// decimal expansion is rounded once, half away from zero, to at most 7
// significant digits and at most d decimals, whichever keeps fewer; later
// digit positions are written as 0. The text is "-" (only when the rounded
// value is not zero), the integer digits (none when the integer part is 0 and
// d > 0, a single 0 when it is 0 and d = 0), "." and exactly d decimals,
// right-aligned in w. w asterisks when the text is longer than w, and for a
// NaN or an infinity, which have no fixed-point text. A negative d counts as 0.
void EditFixedSingle(float value, int32_t width, int32_t decimals, char* out);

// The same for a double-precision value, with at most 16 significant digits.
void EditFixedDouble(double value, int32_t width, int32_t decimals, char* out);

// Integer input edit. The field is the first `width` characters, ended early
// by a comma; blanks and tabs are ignored wherever they stand; an empty or
// all-blank field reads 0. The number is an optional sign followed by decimal
// digits, by a radix form "base#digits" (base 2 to 36 in decimal, digits 0-9
// then letters in either case), or by "#hexdigits". The sign applies to the
// magnitude written, also in a radix form ("-#FF" is -255).
// 16-bit targets take -32767..32767, 32-bit targets -2147483647..2147483647.
// Errors: IO_INTEGER_SYNTAX for any other text, including a lone sign, a lone
// "#", a base outside 2..36, a digit not of the base and a NUL byte;
// IO_INTEGER_RANGE for well-formed numbers outside the target's range.
IoStatus ReadInteger16(const char* field, int32_t width, int16_t* target);
IoStatus ReadInteger32(const char* field, int32_t width, int32_t* target);

// Real input edit (Fw.0): the field rules above; an optional sign, digits
// with at most one decimal point (at least one digit), then an optional
// exponent: "E" or "D" in either case followed by an optionally signed
// integer, or a sign directly after the digits ("1.5+3" is 1500.0). Digits
// without a point are a whole number. An empty field reads 0.0. The result is
// the target value nearest to the decimal number read (ties to even); a
// magnitude too small for the target reads as the nearest tiny value or 0;
// a zero result never carries a sign.
// Errors: IO_REAL_SYNTAX when the sign, digits or point are malformed (also a
// lone sign or point, or a stray character before any exponent);
// IO_REAL_EXPONENT when an exponent was started but is not a signed integer
// ending the field ("1.5E", "1.5E+", "1E3X"); IO_REAL_RANGE for a
// single-precision magnitude above 3.402823466E38, or a double-precision one
// beyond the largest double.
IoStatus ReadRealSingle(const char* field, int32_t width, float* target);
IoStatus ReadRealDouble(const char* field, int32_t width, double* target);

}  // namespace pk
