// Copying the blocks of the needed symbols out of one kind's library files.
#pragma once

#include "extract/job_files.h"
#include "extract/library_table.h"
#include "extract/needed_list.h"
#include "extract/step_outcome.h"

namespace pk {

// Opens `outName` on UNIT_OUTPUT (created, or emptied when present) and walks
// `libraries` (libraryTable.libraryCount slots) in order, each on UNIT_INPUT
// from `directory`;
// a library that cannot be opened is skipped, and none is opened once no
// word remains unfound. A header line "C*NAME" whose NAME (folded) is a
// needed word still MARK_OPEN (the first such word, by `find`) marks it
// MARK_DONE and starts its block: the following non-comment lines, trailing
// blanks and NULs removed, up to the next header or the library's end.
// Comment lines (column 1 "C" or "c") are never copied. Each block is
// flushed when it ends.
// A read error ends its library, and a line that cannot be written ends it
// too: the block it cut short becomes MARK_FAILED (not found) and what was
// written of it is taken back, so the output holds whole blocks only; the
// library (read) or `outName` (write) is noted in `faults` and the walk goes
// on with the next library. A failed write also sets the library's slot in
// `cutShort` (all false on entry): its later blocks were not met.
// Returns DONE with both units closed; OUTPUT_NOT_OPENED with nothing
// attached; or OUTPUT_NOT_TAKEN_BACK, with both units closed, when a failed
// block could not be taken back (the output may hold part of it), which ends
// the walk.
StepOutcome CopyDeclarations(const LibraryDirectory& directory, const LibraryName* libraries,
                             const JobFileName& outName, NeededWordFinder find, FileFaults& faults,
                             bool (&cutShort)[LIBRARY_SLOTS]);

}  // namespace pk
