// Number edits: numbers to and from text, as written into and read from
// one-line records by the report and the form engine.
//
// Output edits write exactly `width` characters at `out` (no terminator).
// Input edits read the first `width` characters of `field`; on failure they
// return a positive status and leave the target unchanged.
#pragma once

#include <cstdint>

#include "records/io_status.h"

namespace pk {

// Integer edit Iw: the decimal digits (at least one), a leading "-" when
// negative, right-aligned with leading blanks; w asterisks when too long.
void EditInteger(int64_t value, int32_t width, char* out);

// Fixed-point edit Fw.d of a single-precision value: rounded once to at most
// 7 significant digits and at most d decimals; no sign for a value that
// rounds to zero; no integer digit when the integer part is 0 and d > 0;
// w asterisks when the text is longer than w.
void EditFixedSingle(float value, int32_t width, int32_t decimals, char* out);

// The same for a double-precision value, with at most 16 significant digits.
void EditFixedDouble(double value, int32_t width, int32_t decimals, char* out);

// Integer input edit: a comma ends the field early; blanks and tabs are
// ignored; an all-blank field is 0; an optional sign and decimal digits, or a
// radix form "base#digits" (base 2 to 36) or "#hexdigits".
// 16-bit targets take -32767..32767, 32-bit targets -2147483647..2147483647.
// Errors: IO_INTEGER_RANGE, IO_INTEGER_SYNTAX.
IoStatus ReadInteger16(const char* field, int32_t width, int16_t* target);
IoStatus ReadInteger32(const char* field, int32_t width, int32_t* target);

// Real input edit (Fw.0): the field rules above; an optional sign, digits with
// an optional decimal point, an optional exponent ("E" or "D" in either case
// followed by an optionally signed integer, or a sign right after the digits).
// Errors: IO_REAL_SYNTAX, IO_REAL_EXPONENT, IO_REAL_RANGE (a single-precision
// magnitude above 3.402823466E38, or a double out of range).
IoStatus ReadRealSingle(const char* field, int32_t width, float* target);
IoStatus ReadRealDouble(const char* field, int32_t width, double* target);

}  // namespace pk
