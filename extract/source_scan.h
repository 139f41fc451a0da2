// Scanning the source, fixed or free form, for the library symbols it uses.
#pragma once

#include <cstdint>

#include "extract/job_files.h"
#include "extract/step_outcome.h"

namespace pk {

// A lookup of a folded identifier in the loaded master list: the entry number
// or 0 (LookUpIdentifier, or the tests' walk through the list it is compared
// with).
using IdentifierLookup = int32_t (*)(const char* chars, int32_t length);

enum class SourceForm {
  FIXED,  // columns 7 to 80; "C", "c" or "$" in column 1 makes a comment line
  FREE,   // every column of lines of any length (see free_form_scan.h)
};

// Reads `sourceName` on UNIT_INPUT and writes to `usedName` on UNIT_OUTPUT
// (created, or emptied when present) every master-list symbol the source
// uses, once, in order of first use, marking its entry MARK_DONE. In FIXED
// form lines starting with "C", "c" or "$" are comments and columns 7 to 80
// of the others are scanned; in FREE form the words are those free_form_scan.h
// describes. Once the whole source is read, every symbol that a needs line
// (master_list.h) of a used entry names and that the list does not hold yet
// follows, in list order of the needs lines, as a line of its own: the symbol,
// NEEDED_BY_TEXT and the entry's text (needed_list.h); its entry becomes
// MARK_ADDED, once its line is written. A needs line of no entry, of an entry
// not used, or naming no entry of the list is passed over.
// Returns DONE with both files closed; INPUT_NOT_OPENED or OUTPUT_NOT_OPENED
// with nothing attached (the list untouched when the source is missing);
// INPUT_READ_FAILED when a read error cut the source short, with both files
// closed and the list holding the symbols of the lines before it; or
// OUTPUT_WRITE_FAILED when a line could not be written, with both files
// closed and the list holding whole lines only, the first ones of the list
// (the record layer takes a failed write back to the last whole line).
StepOutcome ScanSource(const JobFileName& sourceName, const JobFileName& usedName,
                       IdentifierLookup lookUp, SourceForm form = SourceForm::FIXED);

}  // namespace pk
