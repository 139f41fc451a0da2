// Copying the blocks of the needed symbols out of one kind's library files.
#pragma once

#include "extract/job_files.h"
#include "extract/library_table.h"
#include "extract/needed_list.h"
#include "extract/step_outcome.h"

namespace pk {

// Opens `outName` on UNIT_OUTPUT (created, or emptied when present) and walks
// `libraries` (libraryTable.libraryCount slots) in order, each on UNIT_INPUT
// from the library directory;
// a library that cannot be opened is skipped, and none is opened once no
// word remains unfound. A header line "C*NAME" whose NAME (folded) is a
// needed word still MARK_OPEN (the first such word, by `find`) marks it
// MARK_DONE, lowers remainingCount and starts its block: the following
// non-comment lines, trailing blanks and NULs removed, up to the next header
// or the library's end. Comment lines (column 1 "C" or "c") are never copied.
// Each block is flushed when it ends; when a line of it cannot be written,
// its word becomes MARK_FAILED and counts as unfound again, and the rest of
// that library is skipped.
// Returns DONE with both units closed, or OUTPUT_NOT_OPENED (its status in
// stepFailure).
StepOutcome CopyDeclarations(const LibraryName* libraries, const JobFileName& outName,
                             NeededWordFinder find);

}  // namespace pk
