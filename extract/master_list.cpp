#include "extract/master_list.h"

#include <cstring>

#include "extract/symbol_table.h"
#include "extract/word_hash.h"
#include "records/record_file.h"

namespace pk {

namespace {

// One slot per distinct identifier entry (the first of equal entries). The
// hash is kept beside the entry number so that a probe rarely has to touch the
// entry itself, which keeps a lookup at one or two cache misses.
struct IndexSlot {
  int32_t entry;  // 0 = empty
  uint32_t hash;
};
IndexSlot indexSlots[INDEX_SLOTS];

bool IsIdentifierText(const char* chars, int32_t length) {
  for (int32_t i = 0; i < length; ++i) {
    const char c = chars[i];
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  }
  return true;
}

bool EntryEquals(int32_t j, const char* chars, int32_t length) {
  return symbolTable.entryLength[j] == length &&
         std::memcmp(EntryText(j), chars, static_cast<size_t>(length)) == 0;
}

}  // namespace

void IndexMasterEntries() {
  std::memset(indexSlots, 0, sizeof indexSlots);
  for (int32_t j = 1; j <= symbolTable.entryCount; ++j) {
    const int32_t length = symbolTable.entryLength[j];
    // Folded identifiers consist of capitals, digits and "_" only; any other
    // entry (a separator of stars, a word with a tab) can never match.
    if (!IsIdentifierText(EntryText(j), length)) continue;
    const uint32_t hash = HashWord(EntryText(j), length);
    uint32_t slot = hash & INDEX_MASK;
    while (indexSlots[slot].entry != 0 &&
           !(indexSlots[slot].hash == hash &&
             EntryEquals(indexSlots[slot].entry, EntryText(j), length))) {
      slot = (slot + 1) & INDEX_MASK;
    }
    if (indexSlots[slot].entry == 0) indexSlots[slot] = {j, hash};
  }
}

StepOutcome LoadMasterList(const char* fileName, int32_t nameLength) {
  ClearEntries();
  std::memset(indexSlots, 0, sizeof indexSlots);
  const IoStatus opened = OpenFile(UNIT_INPUT, fileName, nameLength, OpenStatus::OLD);
  if (opened != IO_OK) return StepFailed(StepOutcome::INPUT_NOT_OPENED, opened);
  const IoStatus ended = AppendFirstWords(UNIT_INPUT);
  CloseFile(UNIT_INPUT);
  IndexMasterEntries();
  // A list cut by a read error would hide symbols the program uses.
  return ended > 0 ? StepFailed(StepOutcome::INPUT_READ_FAILED, ended) : StepOutcome::DONE;
}

int32_t LookUpIdentifier(const char* chars, int32_t length) {
  const uint32_t hash = HashWord(chars, length);
  uint32_t slot = hash & INDEX_MASK;
  while (indexSlots[slot].entry != 0) {
    const IndexSlot& candidate = indexSlots[slot];
    if (candidate.hash == hash && EntryEquals(candidate.entry, chars, length)) {
      return candidate.entry;
    }
    slot = (slot + 1) & INDEX_MASK;
  }
  return 0;
}

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

}  // namespace pk
