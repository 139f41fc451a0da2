#include "batch/closest_names.h"

#include "extract/master_list.h"
#include "extract/symbol_table.h"

namespace pk {

namespace {

int32_t Least(int32_t a, int32_t b) {
  return a < b ? a : b;
}

// True when `a` ranks before `b`.
bool Before(const CloseName& a, const CloseName& b) {
  if (a.distance.prefixEdits != b.distance.prefixEdits) {
    return a.distance.prefixEdits < b.distance.prefixEdits;
  }
  if (a.distance.edits != b.distance.edits) return a.distance.edits < b.distance.edits;
  return a.length < b.length;
}

void Offer(CloseNames& close, const CloseName& name) {
  int32_t place = close.count;
  while (place > 0 && Before(name, close.names[place - 1])) --place;
  if (place == MAX_CLOSE_NAMES) return;
  const int32_t last = close.count < MAX_CLOSE_NAMES ? close.count : MAX_CLOSE_NAMES - 1;
  for (int32_t i = last; i > place; --i) close.names[i] = close.names[i - 1];
  close.names[place] = name;
  if (close.count < MAX_CLOSE_NAMES) ++close.count;
}

}  // namespace

NameEdits CountEdits(const char* symbol, int32_t symbolLength, const char* name, int32_t nameLength,
                     int32_t limit) {
  // Column j of the table holds, for each i, the edits from the first i
  // characters of the symbol to the first j of the name; the last row gives
  // the prefix edits. Once two columns in a row hold only counts above the
  // limit, so does every later one.
  int32_t before[LINE_LENGTH + 1];  // column j - 2
  int32_t previous[LINE_LENGTH + 1];
  int32_t column[LINE_LENGTH + 1];
  for (int32_t i = 0; i <= symbolLength; ++i) previous[i] = i;
  int32_t prefixEdits = symbolLength;
  int32_t previousLeast = 0;
  int32_t j = 1;
  for (; j <= nameLength; ++j) {
    column[0] = j;
    int32_t least = j;
    for (int32_t i = 1; i <= symbolLength; ++i) {
      const int32_t replaced = previous[i - 1] + (symbol[i - 1] == name[j - 1] ? 0 : 1);
      int32_t edits = Least(replaced, Least(previous[i], column[i - 1]) + 1);
      if (i > 1 && j > 1 && symbol[i - 1] == name[j - 2] && symbol[i - 2] == name[j - 1]) {
        edits = Least(edits, before[i - 2] + 1);
      }
      column[i] = edits;
      least = Least(least, edits);
    }
    prefixEdits = Least(prefixEdits, column[symbolLength]);
    for (int32_t i = 0; i <= symbolLength; ++i) {
      before[i] = previous[i];
      previous[i] = column[i];
    }
    if (least > limit && previousLeast > limit && j > limit) break;
    previousLeast = least;
  }
  const int32_t edits = j > nameLength ? previous[symbolLength] : limit + 1;
  return {Least(prefixEdits, limit + 1), Least(edits, limit + 1)};
}

int32_t EditLimit(int32_t length) {
  const int32_t quarter = length / 4;
  return quarter < 1 ? 1 : (quarter > 4 ? 4 : quarter);
}

void OfferMasterEntries(CloseNames& close, const char* symbol, int32_t length, SymbolKind kind) {
  const int32_t limit = EditLimit(length);
  for (int32_t entry = 1; entry <= symbolTable.entryCount; ++entry) {
    const char* text = EntryText(entry);
    const int32_t textLength = symbolTable.entryLength[entry];
    // A name shorter by more than the limit is further from the symbol.
    if (textLength < length - limit || LookUpIdentifier(text, textLength) != entry) continue;
    const NameEdits distance = CountEdits(symbol, length, text, textLength, limit);
    if (distance.prefixEdits > limit) continue;
    CloseName name = {distance, kind, entry, textLength, {}};
    Offer(close, name);
  }
}

}  // namespace pk
