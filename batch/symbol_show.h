// pareskit-batch --show: for each symbol, what the job would copy for it,
// read with the job's own readers, without a job, a lock or a file written.
#pragma once

#include <cstdint>
#include <cstdio>

#include "extract/library_table.h"

namespace pk {

struct ShowRequest {
  const char* const* symbols;  // as given, in any case
  int32_t count;
  LibraryDirectory directory;  // where the job would read the lists and the libraries
  const char* failureNote;     // said after a failure of a file there; "" for none
};

// Writes a paragraph to `out` for each symbol, a blank line between two.
// Names are spelt as the master lists spell them. A symbol that the master
// list of a kind holds (case folded, as the job looks names up), FD first:
//   PAINTSTRUCT: FD symbol, needs RECT, POINT
//   block in USER32.FD:
//   <the lines of its block, as the job copies them>
// where the needs are the symbols its needs lines add to a job's used list
// ("needs nothing" when none), and the block is the first in the job's walk
// of the kind's libraries. Without one, the second line is why, as --strict
// tells it: "no block: listed without a block in USER32.FI: <its reason
// line>". A symbol in neither list:
//   MesageBox: in no master list; closest: MessageBoxA, MessageBoxW, ...
// with at most MAX_CLOSE_NAMES names ("no name is close" when none is).
// A master list that cannot be opened or read, or a library that cannot be
// read to its end, is told on `errors` ("pareskit-batch: cannot open
// <path>: <reason><failureNote>"). Returns the number of symbols not shown:
// in no master list, or with a block a read error cut short. Reads on
// UNIT_INPUT.
int32_t ShowSymbols(const ShowRequest& request, std::FILE* out, std::FILE* errors);

}  // namespace pk
