// Why the symbols a job did not find are missing, for the batch driver's
// --strict and --json: what the job's observer tells, then the master
// lists' remarks and the library files' reason lines read for them.
#pragma once

#include <cstdint>

#include "extract/job.h"
#include "extract/library_table.h"

namespace pk {

enum class MissingReason {
  NO_BLOCK,              // no library file holds a block for it
  LISTED_WITHOUT_BLOCK,  // `library` lists it without a block; `detail` says why
  LIBRARY_MISSING,       // its library file `library` cannot be opened
  LIBRARY_NOT_READ,      // a read error ended its library file `library` early
  NOT_WRITTEN,           // its block could not be written to the declaration file
  LIBRARY_NOT_COPIED,    // `library` holds its block, but its copying stopped before it, at
                         // a block that could not be written
};

// The symbols told one by one; a job that misses more only counts them.
constexpr int32_t MAX_TOLD_MISSING = 1000;
constexpr int32_t MISSING_DETAIL_LENGTH = 160;

struct MissingSymbol {
  SymbolKind kind;
  char name[LINE_LENGTH];      // folded as the job tells it; spelt as its master list does once
  int32_t nameLength;          // explained
  char neededBy[LINE_LENGTH];  // the entry whose block needs it, when it was added for one;
  int32_t neededByLength;      // spelt as `name`; 0 when the program names it
  MissingReason reason;
  LibraryName library;  // its library file, blank when no master-list remark names one
  char detail[MISSING_DETAIL_LENGTH];  // LISTED_WITHOUT_BLOCK: the reason line's text
  int32_t detailLength;
};

constexpr int32_t SYMBOL_KINDS = 2;

struct MissingSymbols {
  bool copied[SYMBOL_KINDS];  // the job came to copy the kind (SymbolKind as index)
  int32_t specifiedCount[SYMBOL_KINDS];
  int32_t addedCount[SYMBOL_KINDS];  // needed by other blocks
  int32_t notFoundCount[SYMBOL_KINDS];
  int32_t count;   // symbols[0 .. count - 1]
  int32_t untold;  // symbols not found beyond MAX_TOLD_MISSING
  MissingSymbol symbols[MAX_TOLD_MISSING];
  // ExplainMissingSymbols: a library file of a kind with symbols not found
  // that cannot be opened (libraryTable's slots).
  bool libraryMissing[SYMBOL_KINDS][LIBRARY_SLOTS];
  // The job's copying of the library stopped at a block that could not be
  // written.
  bool libraryCutShort[SYMBOL_KINDS][LIBRARY_SLOTS];
};

// The library table's slots of `kind`.
const LibraryName* LibrariesOf(SymbolKind kind);

// Makes `missing` empty and returns the observer that fills it.
JobObserver ObserveMissingSymbols(MissingSymbols& missing);

// Explains every symbol of `missing` from `directory`, the job's library
// directory: the master list of its kind names its spelling (and that of the
// entry that needs it) and, as the remark after it, its library; a library file that cannot be opened makes it
// LIBRARY_MISSING, one `faults` names as not read LIBRARY_NOT_READ; else its
// library's reason line "C     NAME: text" after the file's last block
// (continued on comment lines indented further) makes it
// LISTED_WITHOUT_BLOCK; else NO_BLOCK. Then a symbol with a block in a
// library whose copying was cut short (the first such library) is
// LIBRARY_NOT_COPIED, whatever its own library. A symbol the job could not
// write stays NOT_WRITTEN. Also notes the missing library files of each kind with
// symbols not found. Reads on UNIT_INPUT; a file that cannot be read
// explains nothing more. Cannot fail (nor end the process: a failed close of
// a file it read takes nothing from what it read).
void ExplainMissingSymbols(MissingSymbols& missing, const FileFaults& faults,
                           const LibraryDirectory& directory);

// True when a kind the job copied misses a symbol or a library file.
bool AnythingMissing(const MissingSymbols& missing);

}  // namespace pk
