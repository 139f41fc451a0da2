// The characters of source identifiers, for both source forms' scans.
#pragma once

#include <cstdint>

#include "records/byte_vectors.h"

namespace pk {

// Per byte: the identifier character (letter, digit, "_") folded to capitals
// as FoldCase folds it, or 0 for a separator. A table keeps the per-column
// work of a scan to one load.
struct IdentifierTable {
  char folded[256];
  constexpr IdentifierTable() : folded() {
    for (int c = 0; c < 256; ++c) {
      if (c >= 'a' && c <= 'z') {
        folded[c] = static_cast<char>(c - 32);
      } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') {
        folded[c] = static_cast<char>(c);
      }
    }
  }
};
inline constexpr IdentifierTable identifierTable{};

inline char FoldedIdentifierChar(char c) {
  return identifierTable.folded[static_cast<unsigned char>(c)];
}

// Sixteen characters taken at once: `folded` has the small letters turned
// into capitals and every other byte as it was; bit i of `identifierBits` is
// set when character i is an identifier character. The same answers as
// FoldedIdentifierChar, without a branch or a load per character.
struct SixteenCharacters {
  ByteVector folded;
  uint32_t identifierBits;
};

inline SixteenCharacters ClassifySixteen(ByteVector chars) {
  // Clearing bit 5 turns small letters into capitals and leaves capitals.
  constexpr uint8_t SMALL_BIT = 0x20;
  const ByteVector letters =
      Lanes((chars & SameBytes(static_cast<uint8_t>(~SMALL_BIT))) - SameBytes('A') < SameBytes(26));
  const ByteVector digits = Lanes(chars - SameBytes('0') < SameBytes(10));
  const ByteVector underscores = Lanes(chars == SameBytes('_'));
  return {chars & ~(letters & SameBytes(SMALL_BIT)), LaneBits(letters | digits | underscores)};
}

}  // namespace pk
