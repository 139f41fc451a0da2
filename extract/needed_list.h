// The needed list: the symbols of one kind that the program uses, read back
// from its used-symbol list, with their found marks.
//
// The words live in the SymbolTable as entries 1 to neededCount (store,
// entryStart, entryLength), each followed by its terminator: MARK_OPEN while
// not found, MARK_DONE once its block was found, MARK_FAILED when its block
// could not be written. Loading replaces the master list held there.
//
// A symbol the source scan added for an entry that needs it has a line of its
// own: the symbol, NEEDED_BY_TEXT and the name of that entry. The name is kept
// as the word's remark (EntryRemark).
#pragma once

#include <cstdint>

#include "extract/job_files.h"
#include "extract/step_outcome.h"

namespace pk {

constexpr char NEEDED_BY_TEXT[] = " needed by ";
constexpr int32_t NEEDED_BY_LENGTH = sizeof NEEDED_BY_TEXT - 1;

// Kept by the operations below: callers only read it.
struct NeededList {
  int32_t neededCount;     // words in the list
  int32_t remainingCount;  // words not found (MARK_OPEN or MARK_FAILED)
  int32_t addedCount;      // words added for an entry that needs them (with a remark)
};

extern NeededList neededList;

// Reads `usedName` on UNIT_INPUT: one word per line whose column 1 is not a
// blank, up to its first blank or column 80, folded to capitals. When the
// word is followed by NEEDED_BY_TEXT (in any case) and a name, that name, up
// to its first blank or column 80 and folded, is the word's remark. Loading
// stops at the first word that does not fit the table (50,000 words or the
// store). Builds the lookup index. Sets neededCount and remainingCount to the
// number of words, addedCount to the number with a remark. Returns DONE;
// INPUT_READ_FAILED when a read error cut the list short; or INPUT_NOT_OPENED
// with the list empty.
StepOutcome LoadNeededList(const JobFileName& usedName);

// Makes entries 1 to entryCount of the SymbolTable the needed list: sets
// neededCount to entryCount, remainingCount to the words not MARK_DONE and
// addedCount to the words with a remark, and builds the lookup index.
// LoadNeededList ends with it; a test that fills the table by hand calls it
// too.
void UseEntriesAsNeededList();

// The first word in list order whose terminator is MARK_OPEN and whose text
// equals the given one; 0 when none. Expected constant time.
int32_t FindNeededWord(const char* chars, int32_t length);

using NeededWordFinder = int32_t (*)(const char* chars, int32_t length);

// Sets word's terminator to `mark` (MARK_DONE or MARK_FAILED); the word is
// never found again. remainingCount goes down when the word becomes MARK_DONE
// and up when a MARK_DONE word becomes MARK_FAILED.
void MarkNeededWord(int32_t word, char mark);

}  // namespace pk
