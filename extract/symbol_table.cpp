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

bool AppendEntry(const char* word, int32_t length, const char* remark, int32_t remarkLength) {
  SymbolTable& t = symbolTable;
  // The word's characters, its terminator and its remark must end at or
  // before WORK_STORE_SIZE.
  if (t.entryCount >= MAX_SYMBOLS || length + remarkLength > WORK_STORE_SIZE - t.nextFree) {
    return false;
  }
  std::memcpy(&workStore[t.nextFree - 1], word, static_cast<size_t>(length));
  t.nextFree += length;
  workStore[t.nextFree - 1] = MARK_OPEN;
  t.nextFree += 1;
  if (remarkLength > 0) {
    std::memcpy(&workStore[t.nextFree - 1], remark, static_cast<size_t>(remarkLength));
    t.nextFree += remarkLength;
  }
  t.entryCount += 1;
  t.entryLength[t.entryCount] = static_cast<int16_t>(length);
  t.entryStart[t.entryCount] = t.nextFree;
  return true;
}

int32_t FoldFirstWord(LineRecord& line) {
  // The word is folded sixteen columns at a time, up to the stretch that
  // holds its end.
  for (int32_t offset = 0; offset < LINE_LENGTH; offset += BYTE_VECTOR_SIZE) {
    const ByteVector chars = LoadBytes(line.chars + offset);
    StoreBytes(line.chars + offset, FoldCaseSixteen(chars));
    const uint32_t blanks = LaneBits(Lanes(chars == SameBytes(BLANK)));
    if (blanks != 0) return offset + __builtin_ctz(blanks);
  }
  return LINE_LENGTH;
}

IoStatus AppendFirstWords(int32_t unit) {
  LineRecord line;
  IoStatus status;
  while ((status = ReadLine(unit, line)) == IO_OK) {
    if (line.At(1) == BLANK) continue;
    if (!AppendEntry(line.chars, FoldFirstWord(line))) break;
  }
  return status;
}

}  // namespace pk
