#include "records/number_edit.h"

namespace pk {

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
    for (int32_t i = 0; i < width; ++i) out[i] = '*';
    return;
  }
  int32_t pad = width - count;
  for (int32_t i = 0; i < pad; ++i) out[i] = ' ';
  for (int32_t i = 0; i < count; ++i) out[pad + i] = digits[count - 1 - i];
}

}  // namespace pk
