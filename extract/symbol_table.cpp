#include "extract/symbol_table.h"

#include <cstring>

#include "records/fixed_text.h"
#include "records/record_file.h"

namespace pk {

SymbolTable symbolTable;

void ClearEntries() {
  symbolTable.entryCount = 0;
  symbolTable.nextFree = 1;
  symbolTable.entryStart[0] = 1;
}

bool AppendEntry(const char* word, int32_t length) {
  SymbolTable& t = symbolTable;
  // The word's characters and its terminator must end at or before WORK_STORE_SIZE.
  if (t.entryCount >= MAX_SYMBOLS || length > WORK_STORE_SIZE - t.nextFree) return false;
  std::memcpy(&workStore[t.nextFree - 1], word, static_cast<size_t>(length));
  t.nextFree += length;
  workStore[t.nextFree - 1] = MARK_OPEN;
  t.nextFree += 1;
  t.entryCount += 1;
  t.entryLength[t.entryCount] = static_cast<int16_t>(length);
  t.entryStart[t.entryCount] = t.nextFree;
  return true;
}

IoStatus AppendFirstWords(int32_t unit) {
  LineRecord line;
  IoStatus status;
  while ((status = ReadLine(unit, line)) == IO_OK) {
    if (line.At(1) == BLANK) continue;
    // The word is folded sixteen columns at a time, up to the stretch that
    // holds its end; what follows the word there is folded too, unused.
    int32_t length = LINE_LENGTH;
    for (int32_t offset = 0; offset < LINE_LENGTH; offset += BYTE_VECTOR_SIZE) {
      const ByteVector chars = LoadBytes(line.chars + offset);
      StoreBytes(line.chars + offset, FoldCaseSixteen(chars));
      const uint32_t blanks = LaneBits(Lanes(chars == SameBytes(BLANK)));
      if (blanks != 0) {
        length = offset + __builtin_ctz(blanks);
        break;
      }
    }
    if (!AppendEntry(line.chars, length)) break;
  }
  return status;
}

}  // namespace pk
