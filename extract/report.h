// The report NAME.PRE: per kind, how many symbols the program uses and which
// of them no library supplied.
#pragma once

#include "extract/needed_list.h"

namespace pk {

constexpr char FD_KIND_TEXT[] = " FD";
constexpr char FI_KIND_TEXT[] = " FI";

// Writes one section for the loaded needed list to UNIT_REPORT:
//   "<neededCount:I8><kind> Symbols were specified"
//   "<remainingCount:I8><kind> Symbols were not found"
// and, when remainingCount > 0, "<kind> Symbols not found:" followed by every
// word not MARK_DONE, one per line, in list order. `kindText` is three
// characters. A failed write of the first two lines or of the heading ends
// the section; a failed word line is passed over.
void WriteReport(const char* kindText);

}  // namespace pk
