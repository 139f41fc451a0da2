#include "testing/list_walks.h"

#include <cstring>

#include "extract/needed_list.h"
#include "extract/symbol_table.h"
#include "records/work_store.h"

namespace pk::testing {

int32_t LookUpIdentifierByWalk(const char* chars, int32_t length) {
  const SymbolTable& t = symbolTable;
  for (int32_t j = 1; j <= t.entryCount; ++j) {
    const int32_t start = t.entryStart[j - 1];
    if (workStore[start - 1] != chars[0] || t.entryLength[j] != length) continue;
    // The entry's text ends at its first blank or "*".
    int32_t n = 0;
    while (n < length && workStore[start - 1 + n] != BLANK &&
           workStore[start - 1 + n] != MARK_DONE && workStore[start - 1 + n] == chars[n]) {
      ++n;
    }
    if (n == length) return j;
  }
  return 0;
}

int32_t FindNeededWordByWalk(const char* chars, int32_t length) {
  for (int32_t word = 1; word <= neededList.neededCount; ++word) {
    if (EntryTerminator(word) == MARK_OPEN && symbolTable.entryLength[word] == length &&
        std::memcmp(EntryText(word), chars, static_cast<size_t>(length)) == 0) {
      return word;
    }
  }
  return 0;
}

}  // namespace pk::testing
