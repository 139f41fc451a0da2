// The needed list: the symbols of one kind that the program uses, read back
// from its used-symbol list, with their found marks.
//
// The words live in the SymbolTable as entries 1 to neededCount (store,
// entryStart, entryLength), each followed by its terminator: MARK_OPEN while
// not found, MARK_DONE once its block was found, MARK_FAILED when its block
// could not be written. Loading replaces the master list held there.
#pragma once

#include <cstdint>

#include "extract/job_files.h"
#include "extract/step_outcome.h"

namespace pk {

// Kept by the operations below: callers only read it.
struct NeededList {
  int32_t neededCount;     // words in the list
  int32_t remainingCount;  // words not found (MARK_OPEN or MARK_FAILED)
};

extern NeededList neededList;

// Reads `usedName` on UNIT_INPUT: one word per line whose column 1 is not a
// blank, up to its first blank or column 80, folded to capitals. Loading stops
// at the first word that does not fit the table (50,000 words or the store).
// Builds the lookup index. Sets neededCount and remainingCount to the number
// of words. Returns DONE; INPUT_READ_FAILED when a read error cut the list
// short; or INPUT_NOT_OPENED with the list empty. The status of a failure is
// in stepFailure.
StepOutcome LoadNeededList(const JobFileName& usedName);

// Makes entries 1 to entryCount of the SymbolTable the needed list: sets
// neededCount to entryCount and remainingCount to the words not MARK_DONE,
// and builds the lookup index. LoadNeededList ends with it; a test that fills
// the table by hand calls it too.
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
