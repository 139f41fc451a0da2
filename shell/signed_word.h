// The 16-bit halves of a packed message parameter, sign-extended.
#pragma once

#include <cstdint>

namespace pk {

// Bits 0 to 15 of `value`, sign-extended to 32 bits.
inline int32_t SignedLowWord(uint32_t value) {
  return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFFu));
}

// Bits 16 to 31 of `value`, sign-extended to 32 bits.
inline int32_t SignedHighWord(uint32_t value) {
  return static_cast<int16_t>(static_cast<uint16_t>(value >> 16));
}

}  // namespace pk
