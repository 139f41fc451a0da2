// The names of the master lists closest to a symbol they do not hold, which
// pareskit-batch --show offers instead.
#pragma once

#include <cstdint>

#include "extract/job.h"
#include "records/record_file.h"

namespace pk {

constexpr int32_t MAX_CLOSE_NAMES = 6;

// The edits (a character inserted, deleted or replaced, or two neighbours
// swapped) that make a symbol into a name, and into the prefix of the name
// that takes the fewest: "MESAGEBOX" is 1 edit from "MESSAGEBOXEXA"'s prefix
// "MESSAGEBOX" and 4 from the whole name.
struct NameEdits {
  int32_t prefixEdits;
  int32_t edits;
};

// The NameEdits from `symbol` to `name` (each 0 to LINE_LENGTH characters,
// compared as they are), each counted up to `limit` + 1: any count above
// `limit` is `limit` + 1.
NameEdits CountEdits(const char* symbol, int32_t symbolLength, const char* name, int32_t nameLength,
                     int32_t limit);

// The most prefix edits a close name may take from a symbol of `length`
// characters: a quarter of them, at least 1 and at most 4.
int32_t EditLimit(int32_t length);

struct CloseName {
  NameEdits distance;
  SymbolKind kind;
  int32_t entry;  // its entry in the master list of `kind`
  int32_t length;
  char spelling[LINE_LENGTH];  // the caller's to fill: the name as its master list spells it
};

// The closest names offered so far, best first: fewer prefix edits, then
// fewer edits, then the shorter name, then the one offered first.
struct CloseNames {
  int32_t count;
  CloseName names[MAX_CLOSE_NAMES];
};

// Offers every name of the master list loaded in the table, of `kind`, to
// `close`: the entries the lookup finds (identifiers; of equal ones the
// first) that are within EditLimit prefix edits of `symbol` (folded, 1 to
// LINE_LENGTH characters). Keeps the MAX_CLOSE_NAMES best.
void OfferMasterEntries(CloseNames& close, const char* symbol, int32_t length, SymbolKind kind);

}  // namespace pk
