// The packed table of symbol names loaded from a master list. Its characters
// live in the work store (records/work_store.h), which also holds the needed
// list of the copying phases and, before the job starts, the logo's pixel
// bytes.
#pragma once

#include <cstdint>

#include "records/io_status.h"
#include "records/record_file.h"
#include "records/work_store.h"

namespace pk {

constexpr int32_t MAX_SYMBOLS = 50000;

// Terminator states of an entry or needed word.
constexpr char MARK_OPEN = ' ';    // not yet written (scan) or not yet found (copying)
constexpr char MARK_DONE = '*';    // written to the used-symbol list, or its block found
constexpr char MARK_FAILED = '!';  // its block could not be written: not found, never copied
constexpr char MARK_ADDED = '+';   // written to the used-symbol list for an entry that needs it

// The entries' characters: positions 1 to WORK_STORE_SIZE of the work store,
// workStore[p - 1] being position p.
struct SymbolTable {
  // entryStart[j - 1] is the store position of entry j's first character.
  int32_t entryStart[MAX_SYMBOLS + 1];
  // entryLength[j] is the number of characters of entry j (index 0 unused).
  int16_t entryLength[MAX_SYMBOLS + 1];
  int32_t entryCount;
  int32_t nextFree;
};

// The one table of the process, all zero at start.
extern SymbolTable symbolTable;

// The first character of entry j (1-based) and its terminator.
inline const char* EntryText(int32_t j) {
  return &workStore[symbolTable.entryStart[j - 1] - 1];
}
inline char& EntryTerminator(int32_t j) {
  return workStore[symbolTable.entryStart[j - 1] + symbolTable.entryLength[j] - 1];
}

// An entry's remark: the characters kept after its terminator, up to the next
// entry's first character (none for a master-list entry).
inline const char* EntryRemark(int32_t j) {
  return &EntryTerminator(j) + 1;
}
inline int32_t EntryRemarkLength(int32_t j) {
  return symbolTable.entryStart[j] - symbolTable.entryStart[j - 1] - symbolTable.entryLength[j] - 1;
}

// Appends a word of `length` characters (1 to 80), a MARK_OPEN terminator and
// `remarkLength` characters of `remark` as entry entryCount + 1. Returns
// false, changing nothing, when the entry table or the store has no room for
// them all.
bool AppendEntry(const char* word, int32_t length, const char* remark = nullptr,
                 int32_t remarkLength = 0);

// Folds the first word of `line` (from column 1 up to the first blank or
// column 80) to capitals in place and returns its length. Columns after the
// word, up to the end of the sixteen that hold its end, are folded too.
int32_t FoldFirstWord(LineRecord& line);

// Reads `unit` to its end and appends, for every line that does not start
// with a blank, its first word (up to the first blank or column 80, folded to
// capitals) as an entry. Stops at the first word that does not fit. Returns
// what ended the reading: IO_END_OF_FILE, a read error, or IO_OK when a word
// did not fit. The unit stays open.
IoStatus AppendFirstWords(int32_t unit);

// Empties the table: no entries, nextFree 1, entryStart[0] 1.
void ClearEntries();

}  // namespace pk
