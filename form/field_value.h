// The per-field value record exchanged with the form engine.
#pragma once

#include <cstdint>

namespace pk {

// What it holds depends on the field's type letter: "C" the address of the
// caller's 31-byte character buffer (30 characters and a NUL); "I" a 16-bit
// integer; "L" a 32-bit integer; "R" a single-precision real; "D" a
// double-precision real; "S" and "B" nothing (returned as passed in).
// It is always copied whole.
union FieldValue {
  char* text;
  int16_t shortValue;
  int32_t longValue;
  float realValue;
  double doubleValue;
  unsigned char bytes[8];
};

static_assert(sizeof(FieldValue) == 8, "a field value is an 8-byte record");

}  // namespace pk
