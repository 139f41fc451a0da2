// Master symbol lists: loading one into the SymbolTable and looking source
// identifiers up in it.
#pragma once

#include <cstdint>

#include "extract/step_outcome.h"

namespace pk {

constexpr char MASTER_FI_NAME[] = "MASTERFI.LIS";
constexpr char MASTER_FD_NAME[] = "MASTERFD.LIS";

// A line whose column 1 holds this mark is a needs line: the word after the
// mark names a symbol whose block is copied whenever the block of the nearest
// entry above it that is not a needs line is. It is loaded as an entry like
// every other line; its text, starting with the mark, never matches an
// identifier.
constexpr char NEEDS_LINE_MARK = '+';

// Replaces the SymbolTable's entries with the list `fileName` (`nameLength`
// characters) read on UNIT_INPUT: one entry per line whose column 1 is not a
// blank, the line's first word folded to capitals, every terminator a blank.
// Loading stops at the first entry that does not fit (50,000 entries or
// 1,500,000 store characters); the entries before it stay. Builds the lookup
// index.
// Returns DONE; INPUT_READ_FAILED when a read error cut the list short (the
// entries before it stay); or INPUT_NOT_OPENED with the table empty.
StepOutcome LoadMasterList(const char* fileName, int32_t nameLength);

// Who is given the spelling of the loaded entries: the entry's number and
// its text as the list spells it, before folding. Returns false to be given
// no more.
using EntrySpelling = bool (*)(void* context, int32_t entry, const char* chars, int32_t length);

// Reads the list `fileName` (`nameLength` characters), the one the table was
// loaded from, again on UNIT_INPUT and passes the spelling of each loaded
// entry, in list order, to `spelt`. Returns IO_END_OF_FILE once the entries
// are passed (or `spelt` wants no more), or the status of an open or a read
// that failed.
IoStatus SpellMasterEntries(const char* fileName, int32_t nameLength, EntrySpelling spelt,
                            void* context);

// Rebuilds the lookup index over the table's current entries and counts the
// needs lines among them. LoadMasterList calls it; a test that fills the
// table by hand calls it too.
void IndexMasterEntries();

// The number of entries that are needs lines, as IndexMasterEntries counted.
int32_t NeedsLineCount();

// The first entry, in list order, whose text equals the identifier (folded
// identifier characters, 1 to 80 of them), whatever its terminator; 0 when
// none does. Entries holding any other character never match. Expected
// constant time through the index.
int32_t LookUpIdentifier(const char* chars, int32_t length);

}  // namespace pk
