// A field's value shown as the text of its list box.
#pragma once

#include <cstdint>

#include "form/field_value.h"
#include "records/fixed_text.h"

namespace pk {

// The largest magnitude a real field shows with decimals: the
// single-precision number nearest to 1.0E13.
constexpr double LARGEST_WITH_DECIMALS = 9999999827968.0;

// Writes the value of a field of type `type` into `scratch` as NUL-ended text:
// "C" the caller's buffer up to its first NUL, at most 30 characters (empty
// when the address is null); "I" and "L" the integer, left-justified; "R" and
// "D" the real in fixed-point edit of width 29 (27 decimals inside -1..1,
// none beyond +-LARGEST_WITH_DECIMALS, 14 otherwise), left-justified, with
// trailing zeros dropped ("0.0" when nothing but the point is left). A real
// too wide for those decimals is shown with none, and one too wide even then
// (beyond about 1E28) in exponent form, so that every finite value shows as
// a text that reads back as the same number. Other types leave `scratch` empty.
void FieldValueText(char type, const FieldValue& value, FixedText<80>& scratch);

}  // namespace pk
