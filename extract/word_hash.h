// The hash of a word for the lookup indexes of the master and needed lists.
#pragma once

#include <cstdint>
#include <cstring>

namespace pk {

namespace word_hash_detail {

constexpr uint64_t MULTIPLIER = 0x9E3779B97F4A7C15u;

inline uint64_t Mix(uint64_t hash, uint64_t piece) {
  const uint64_t product = (hash ^ piece) * MULTIPLIER;
  return product ^ (product >> 29);
}

inline uint64_t Load64(const char* chars) {
  uint64_t piece;
  std::memcpy(&piece, chars, sizeof piece);
  return piece;
}

inline uint64_t Load32(const char* chars) {
  uint32_t piece;
  std::memcpy(&piece, chars, sizeof piece);
  return piece;
}

}  // namespace word_hash_detail

// The word's characters taken eight at a time (a word of 4 to 8 as two
// overlapping halves, a shorter one as its first, middle and last), each
// piece mixed in by a multiplication, seeded with the length. Reads nothing
// outside chars[0..length). All 64 bits are usable: the top ones pick a slot.
inline uint64_t HashWord(const char* chars, int32_t length) {
  using namespace word_hash_detail;
  const uint64_t seed = static_cast<uint64_t>(length);
  if (length >= 8) {
    uint64_t hash = seed;
    for (int32_t i = 0; i + 8 < length; i += 8) hash = Mix(hash, Load64(chars + i));
    return Mix(hash, Load64(chars + length - 8));
  }
  if (length >= 4) return Mix(seed, Load32(chars) | Load32(chars + length - 4) << 32);
  if (length <= 0) return Mix(seed, 0);
  const auto byte = [chars](int32_t i) {
    return static_cast<uint64_t>(static_cast<uint8_t>(chars[i]));
  };
  return Mix(seed, byte(0) | byte(length / 2) << 8 | byte(length - 1) << 16);
}

// Slots of the needed list's open-addressing index over at most MAX_SYMBOLS
// words: a power of two at least twice that, so probe runs stay short. A
// word's first slot is given by the top INDEX_SLOT_BITS bits of its hash.
constexpr int32_t INDEX_SLOT_BITS = 17;
constexpr int32_t INDEX_SLOTS = 1 << INDEX_SLOT_BITS;
constexpr uint32_t INDEX_MASK = INDEX_SLOTS - 1;

}  // namespace pk
