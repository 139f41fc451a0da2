// The packed table of symbol names loaded from a master list. Its character
// store also holds the needed list of the copying phases and, before the job
// starts, the logo's pixel bytes.
#pragma once

#include <cstdint>

namespace pk {

constexpr int32_t MAX_SYMBOLS = 50000;
constexpr int32_t STORE_SIZE = 1500000;

struct SymbolTable {
  // Positions 1 to STORE_SIZE: store[p - 1] is position p.
  char store[STORE_SIZE];
  // entryStart[j - 1] is the store position of entry j's first character.
  int32_t entryStart[MAX_SYMBOLS + 1];
  // entryLength[j] is the number of characters of entry j (index 0 unused).
  int16_t entryLength[MAX_SYMBOLS + 1];
  int32_t entryCount;
  int32_t nextFree;
};

// The one table of the process, all zero at start.
extern SymbolTable symbolTable;

}  // namespace pk
