// The hash of a word for the lookup indexes of the master and needed lists.
#pragma once

#include <cstdint>

namespace pk {

// FNV-1a over the word's bytes.
inline uint32_t HashWord(const char* chars, int32_t length) {
  uint32_t hash = 2166136261u;
  for (int32_t i = 0; i < length; ++i) {
    hash ^= static_cast<unsigned char>(chars[i]);
    hash *= 16777619u;
  }
  return hash;
}

// Slots of an open-addressing index over at most MAX_SYMBOLS words: a power
// of two at least twice that, so probe runs stay short.
constexpr int32_t INDEX_SLOTS = 1 << 17;
constexpr uint32_t INDEX_MASK = INDEX_SLOTS - 1;

}  // namespace pk
