// Fuzz target: the integer and real input edits on arbitrary 30-character
// fields. A failure leaves the target as it was and names a number-edit
// error; a number that reads is within its target's range; the 16- and
// 32-bit reads agree; and a number read prints back (integer edit, or the
// form's value text for reals, never asterisks) to a text that reads as an
// equivalent value.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "form/field_value.h"
#include "form/value_text.h"
#include "fuzz/fuzz_check.h"
#include "records/number_edit.h"

namespace {

constexpr int32_t kWidth = 30;

bool IsEditError(pk::IoStatus status) {
  return status >= pk::IO_INTEGER_RANGE && status <= pk::IO_REAL_RANGE;
}

void CheckIntegers(const char* field) {
  int16_t short_value = 12345;
  int32_t long_value = 1234567890;
  const pk::IoStatus short_status = pk::ReadInteger16(field, kWidth, &short_value);
  const pk::IoStatus long_status = pk::ReadInteger32(field, kWidth, &long_value);
  PK_FUZZ_CHECK(short_status == pk::IO_OK || IsEditError(short_status));
  PK_FUZZ_CHECK(long_status == pk::IO_OK || IsEditError(long_status));
  if (short_status != pk::IO_OK) PK_FUZZ_CHECK(short_value == 12345);
  if (long_status != pk::IO_OK) {
    PK_FUZZ_CHECK(long_value == 1234567890);
    // What a 32-bit target cannot take, a 16-bit target cannot either.
    PK_FUZZ_CHECK(short_status != pk::IO_OK);
    return;
  }
  PK_FUZZ_CHECK(long_value >= -2147483647);
  const bool fitsShort = long_value >= -32767 && long_value <= 32767;
  if (fitsShort) {
    PK_FUZZ_CHECK(short_status == pk::IO_OK && short_value == long_value);
  } else {
    PK_FUZZ_CHECK(short_status == pk::IO_INTEGER_RANGE);
  }
  char printed[kWidth];
  pk::EditInteger(long_value, kWidth, printed);
  int32_t again = 0;
  PK_FUZZ_CHECK(pk::ReadInteger32(printed, kWidth, &again) == pk::IO_OK && again == long_value);
}

// The value text of a real field, padded to a field of 30 characters. A
// finite value never shows as asterisks.
void PrintReal(char type, const pk::FieldValue& value, char* field) {
  pk::FixedText<80> scratch;
  pk::FieldValueText(type, value, scratch);
  const char* end = static_cast<const char*>(std::memchr(scratch.chars, '\0', 80));
  PK_FUZZ_CHECK(end != nullptr);
  const size_t length = static_cast<size_t>(end - scratch.chars);
  PK_FUZZ_CHECK(length <= static_cast<size_t>(kWidth));
  std::memset(field, ' ', kWidth);
  std::memcpy(field, scratch.chars, length);
  PK_FUZZ_CHECK(field[0] != '*');
}

// The value text keeps 7 (single) or 16 (double) significant digits and
// 27 decimals inside -1..1, 14 up to LARGEST_WITH_DECIMALS and none beyond,
// so the value read back differs by at most half a unit of the last digit
// kept (plus the rounding of the read itself).
bool Equivalent(double original, double back, double relative) {
  const double magnitude = std::fabs(original);
  const double lastDecimal =
      magnitude < 1.0 ? 5e-28 : (magnitude <= pk::LARGEST_WITH_DECIMALS ? 5e-15 : 0.5);
  const double digits = magnitude * relative;
  // A few units in the last place cover the binary rounding of both values.
  const double representation = magnitude * 5e-16;
  return std::fabs(original - back) <=
         (digits > lastDecimal ? digits : lastDecimal) * 1.01 + representation;
}

void CheckReals(const char* field) {
  float single = 1.5f;
  double real = 2.5;
  const pk::IoStatus single_status = pk::ReadRealSingle(field, kWidth, &single);
  const pk::IoStatus double_status = pk::ReadRealDouble(field, kWidth, &real);
  PK_FUZZ_CHECK(single_status == pk::IO_OK || IsEditError(single_status));
  PK_FUZZ_CHECK(double_status == pk::IO_OK || IsEditError(double_status));
  if (single_status != pk::IO_OK) PK_FUZZ_CHECK(single == 1.5f);
  if (double_status != pk::IO_OK) PK_FUZZ_CHECK(real == 2.5);
  if (single_status == pk::IO_OK) {
    PK_FUZZ_CHECK(std::isfinite(single));
    PK_FUZZ_CHECK(!(single == 0.0f && std::signbit(single)));
    pk::FieldValue value{};
    value.realValue = single;
    char printed[kWidth];
    PrintReal('R', value, printed);
    float back = 0.0f;
    PK_FUZZ_CHECK(pk::ReadRealSingle(printed, kWidth, &back) == pk::IO_OK);
    PK_FUZZ_CHECK(Equivalent(single, back, 1e-6));
  }
  if (double_status == pk::IO_OK) {
    PK_FUZZ_CHECK(std::isfinite(real));
    PK_FUZZ_CHECK(!(real == 0.0 && std::signbit(real)));
    // The single edit refuses exactly the magnitudes above 3.402823466E38
    // (compared as decimals: a text just above it may read as it in double).
    if (std::fabs(real) > 3.402823466E38) PK_FUZZ_CHECK(single_status == pk::IO_REAL_RANGE);
    if (std::fabs(real) < 3.402823466E38) PK_FUZZ_CHECK(single_status == pk::IO_OK);
    // A text both edits accept names one number: the single result is that
    // number rounded to single precision.
    if (single_status == pk::IO_OK) {
      PK_FUZZ_CHECK(std::fabs(real - single) <= std::fabs(real) * 1.2e-7 ||
                    std::fabs(real) < 1.2e-38);
    }
    pk::FieldValue value{};
    value.doubleValue = real;
    char printed[kWidth];
    PrintReal('D', value, printed);
    double back = 0.0;
    PK_FUZZ_CHECK(pk::ReadRealDouble(printed, kWidth, &back) == pk::IO_OK);
    PK_FUZZ_CHECK(Equivalent(real, back, 1e-15));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > static_cast<size_t>(kWidth)) return 0;
  char field[kWidth];
  std::memset(field, ' ', kWidth);
  std::memcpy(field, data, size);
  CheckIntegers(field);
  CheckReals(field);
  return 0;
}
