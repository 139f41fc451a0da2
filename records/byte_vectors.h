// Sixteen bytes at a time, for the loops that look at every character of a
// line: the compiler's vector extension, which becomes SIMD code where the
// target has it and plain code elsewhere; the one step the extension lacks,
// a lane mask to bits, uses SSE2 where it is there.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pk {

using ByteVector = uint8_t __attribute__((vector_size(16)));
constexpr int32_t BYTE_VECTOR_SIZE = 16;

inline ByteVector LoadBytes(const char* bytes) {
  ByteVector vector;
  std::memcpy(&vector, bytes, sizeof vector);
  return vector;
}

inline void StoreBytes(char* bytes, ByteVector vector) {
  std::memcpy(bytes, &vector, sizeof vector);
}

inline ByteVector SameBytes(uint8_t byte) {
  return ByteVector{} + byte;
}

// A comparison's result as lanes: 0xFF where it holds, 0 elsewhere.
template <typename Comparison>
inline ByteVector Lanes(Comparison comparison) {
  static_assert(sizeof comparison == sizeof(ByteVector), "one lane per byte");
  ByteVector lanes;
  std::memcpy(&lanes, &comparison, sizeof lanes);
  return lanes;
}

// The lanes 0, 1, ... 15.
inline ByteVector LaneNumbers() {
  return ByteVector{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
}

// Bit i set for every lane i that is 0xFF (each lane 0 or 0xFF).
inline uint32_t LaneBits(ByteVector lanes) {
#if defined(__SSE2__)
  return static_cast<uint32_t>(_mm_movemask_epi8(reinterpret_cast<__m128i&>(lanes)));
#else
  // In each half, every lane's top bit lands on its own bit of the product's
  // top byte.
  static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "lane i is byte i of a word");
  uint64_t half[2];
  std::memcpy(half, &lanes, sizeof half);
  const auto gather = [](uint64_t word) {
    return static_cast<uint32_t>((((word & 0x8080808080808080u) >> 7) * 0x0102040810204080u) >> 56);
  };
  return gather(half[0]) | gather(half[1]) << 8;
#endif
}

}  // namespace pk
