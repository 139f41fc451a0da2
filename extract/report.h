// The report NAME.PRE: per kind, how many symbols the program uses and which
// of them no library supplied.
#pragma once

#include "extract/needed_list.h"

namespace pk {

constexpr char FD_KIND_TEXT[] = " FD";
constexpr char FI_KIND_TEXT[] = " FI";

// Writes one section for the loaded needed list to UNIT_REPORT:
//   "<neededCount - addedCount:I8><kind> Symbols were specified"
//   "<addedCount:I8><kind> Symbols were needed by other blocks" (only when
//                                                  addedCount > 0)
//   "<remainingCount:I8><kind> Symbols were not found"
// and, when remainingCount > 0, "<kind> Symbols not found:" followed by every
// word not MARK_DONE, one per line, in list order; a word with a remark goes
// on with NEEDED_BY_TEXT and its remark. `kindText` is three characters. Each
// line is written out at once; a line that cannot be written is taken back. A
// failed write of the count lines or of the heading ends the section; a
// failed word line is passed over.
// Returns DONE; OUTPUT_WRITE_FAILED when lines were taken out (with the
// status of the first failure); or OUTPUT_NOT_TAKEN_BACK when a failed line
// could not be taken back (the report may hold part of it), which ends the
// section at once (with the cut's status).
StepOutcome WriteReport(const char* kindText);

}  // namespace pk
