// The characters of source identifiers, for both source forms' scans.
#pragma once

#include <cstdint>

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

// Eight characters taken at once, the first in the lowest byte (as a
// little-endian load puts them): `folded` has the small letters turned into
// capitals and every other byte as it was; bit i of `identifierBits` is set
// when character i is an identifier character. The same answers as
// FoldedIdentifierChar, without a branch or a load per character.
struct EightCharacters {
  uint64_t folded;
  uint32_t identifierBits;
};

namespace identifier_detail {

constexpr uint64_t ONES = 0x0101010101010101u;
constexpr uint64_t HIGH_BITS = ONES * 0x80;

// The high bit of every byte whose value, below 128 in every byte of
// `ascii`, lies in [low, high]. No sum carries into the next byte.
constexpr uint64_t BytesWithin(uint64_t ascii, uint32_t low, uint32_t high) {
  return (ascii + ONES * (0x80 - low)) & ~(ascii + ONES * (0x7F - high)) & HIGH_BITS;
}

// Bit i of the result is the high bit of byte i: each one lands on its own
// bit of the top byte of the product, and no two products overlap.
constexpr uint32_t GatherHighBits(uint64_t highBits) {
  return static_cast<uint32_t>(((highBits >> 7) * 0x0102040810204080u) >> 56);
}

}  // namespace identifier_detail

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "characters are taken eight at a time");

constexpr EightCharacters ClassifyEight(uint64_t chars) {
  using namespace identifier_detail;
  const uint64_t ascii = chars & ~HIGH_BITS;
  const uint64_t below128 = ~chars & HIGH_BITS;
  const uint64_t small = BytesWithin(ascii, 'a', 'z') & below128;
  const uint64_t identifier = (small | BytesWithin(ascii, 'A', 'Z') | BytesWithin(ascii, '0', '9') |
                               BytesWithin(ascii, '_', '_')) &
                              below128;
  return {chars - (small >> 2), GatherHighBits(identifier)};
}

}  // namespace pk
