#include "extract/needed_list.h"

#include <cstring>

#include "extract/symbol_table.h"
#include "extract/word_hash.h"
#include "records/fixed_text.h"
#include "records/record_file.h"

namespace pk {

NeededList neededList;

namespace {

// One slot per distinct word text: the first word with that text (kept for
// comparing) and the first of them still MARK_OPEN (0 when none is left).
// Equal words are chained in list order through nextEqualWord.
int32_t slotFirstWord[INDEX_SLOTS];
int32_t slotOpenWord[INDEX_SLOTS];
int32_t nextEqualWord[MAX_SYMBOLS + 1];
int32_t lastEqualWord[INDEX_SLOTS];
int32_t wordSlot[MAX_SYMBOLS + 1];

bool WordEquals(int32_t word, const char* chars, int32_t length) {
  return symbolTable.entryLength[word] == length &&
         std::memcmp(EntryText(word), chars, static_cast<size_t>(length)) == 0;
}

uint32_t FindSlot(const char* chars, int32_t length) {
  auto slot = static_cast<uint32_t>(HashWord(chars, length) >> (64 - INDEX_SLOT_BITS));
  while (slotFirstWord[slot] != 0 && !WordEquals(slotFirstWord[slot], chars, length)) {
    slot = (slot + 1) & INDEX_MASK;
  }
  return slot;
}

// Moves the slot's open word past words that are no longer MARK_OPEN.
void SkipMarkedWords(uint32_t slot) {
  int32_t word = slotOpenWord[slot];
  while (word != 0 && EntryTerminator(word) != MARK_OPEN) word = nextEqualWord[word];
  slotOpenWord[slot] = word;
}

void IndexNeededWords() {
  std::memset(slotFirstWord, 0, sizeof slotFirstWord);
  std::memset(slotOpenWord, 0, sizeof slotOpenWord);
  for (int32_t word = 1; word <= neededList.neededCount; ++word) {
    const uint32_t slot = FindSlot(EntryText(word), symbolTable.entryLength[word]);
    nextEqualWord[word] = 0;
    wordSlot[word] = static_cast<int32_t>(slot);
    if (slotFirstWord[slot] == 0) {
      slotFirstWord[slot] = word;
      slotOpenWord[slot] = word;
    } else {
      nextEqualWord[lastEqualWord[slot]] = word;
    }
    lastEqualWord[slot] = word;
  }
  for (uint32_t slot = 0; slot < static_cast<uint32_t>(INDEX_SLOTS); ++slot) {
    if (slotFirstWord[slot] != 0) SkipMarkedWords(slot);
  }
}

// The length of the name that follows NEEDED_BY_TEXT after the word of
// `length` characters, folding it in place; 0 when the line says no such name.
int32_t NeededByName(LineRecord& line, int32_t length) {
  const int32_t start = length + NEEDED_BY_LENGTH;
  if (start >= LINE_LENGTH) return 0;
  for (int32_t i = 0; i < NEEDED_BY_LENGTH; ++i) {
    if (FoldCase(line.chars[length + i]) != FoldCase(NEEDED_BY_TEXT[i])) return 0;
  }
  int32_t end = start;
  while (end < LINE_LENGTH && line.chars[end] != BLANK) {
    line.chars[end] = FoldCase(line.chars[end]);
    ++end;
  }
  return end - start;
}

// AppendFirstWords for a used-symbol list: each word with its remark.
IoStatus AppendUsedWords(int32_t unit) {
  LineRecord line;
  IoStatus status;
  while ((status = ReadLine(unit, line)) == IO_OK) {
    if (line.At(1) == BLANK) continue;
    const int32_t length = FoldFirstWord(line);
    const int32_t nameLength = NeededByName(line, length);
    if (!AppendEntry(line.chars, length, line.chars + length + NEEDED_BY_LENGTH, nameLength)) {
      break;
    }
  }
  return status;
}

}  // namespace

void UseEntriesAsNeededList() {
  neededList.neededCount = symbolTable.entryCount;
  neededList.remainingCount = 0;
  neededList.addedCount = 0;
  for (int32_t word = 1; word <= symbolTable.entryCount; ++word) {
    if (EntryTerminator(word) != MARK_DONE) ++neededList.remainingCount;
    if (EntryRemarkLength(word) > 0) ++neededList.addedCount;
  }
  IndexNeededWords();
}

StepOutcome LoadNeededList(const JobFileName& usedName) {
  ClearEntries();
  UseEntriesAsNeededList();
  const IoStatus opened = OpenFile(UNIT_INPUT, usedName, OpenStatus::OLD);
  if (opened != IO_OK) return StepOutcome{StepEnd::INPUT_NOT_OPENED, opened};
  const IoStatus ended = AppendUsedWords(UNIT_INPUT);
  CloseFile(UNIT_INPUT);
  UseEntriesAsNeededList();
  // A list cut by a read error must not be counted as the program's whole use.
  return ended > 0 ? StepOutcome{StepEnd::INPUT_READ_FAILED, ended} : STEP_DONE;
}

int32_t FindNeededWord(const char* chars, int32_t length) {
  const uint32_t slot = FindSlot(chars, length);
  return slotFirstWord[slot] == 0 ? 0 : slotOpenWord[slot];
}

void MarkNeededWord(int32_t word, char mark) {
  const bool wasFound = EntryTerminator(word) == MARK_DONE;
  if (!wasFound && mark == MARK_DONE) neededList.remainingCount -= 1;
  if (wasFound && mark != MARK_DONE) neededList.remainingCount += 1;
  EntryTerminator(word) = mark;
  SkipMarkedWords(static_cast<uint32_t>(wordSlot[word]));
}

}  // namespace pk
