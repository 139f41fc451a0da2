// The characters of source identifiers, for both source forms' scans.
#pragma once

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

}  // namespace pk
