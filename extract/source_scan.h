// Scanning the fixed-form source for the library symbols it uses.
#pragma once

#include <cstdint>

#include "extract/job_files.h"
#include "extract/step_outcome.h"

namespace pk {

// A lookup of a folded identifier in the loaded master list: the entry number
// or 0 (LookUpIdentifier, or LookUpIdentifierByWalk for comparison).
using IdentifierLookup = int32_t (*)(const char* chars, int32_t length);

// Reads `sourceName` on UNIT_INPUT and writes to `usedName` on UNIT_OUTPUT
// (created, or emptied when present) every master-list symbol the statement
// lines use, once, in order of first use, marking its entry MARK_DONE.
// Lines starting with "C", "c" or "$" are comments; columns 7 to 80 are
// scanned. A read error ends the source like its end.
// Returns DONE with both files closed; INPUT_NOT_OPENED or OUTPUT_NOT_OPENED
// with nothing attached (the list untouched when the source is missing); or
// OUTPUT_WRITE_FAILED when a line could not be written, with both files
// closed and the list holding an unknown prefix of its lines.
StepOutcome ScanSource(const JobFileName& sourceName, const JobFileName& usedName,
                       IdentifierLookup lookUp);

}  // namespace pk
