#include "extract/report.h"

#include "extract/symbol_table.h"
#include "records/record_file.h"

namespace pk {

namespace {

constexpr int32_t KIND_TEXT_LENGTH = 3;
constexpr int32_t COUNT_WIDTH = 8;

// Writes one record and writes it out at once, so a failure is seen by the
// write that causes it and lines accepted before are never lost with it; a
// record that could not be written whole is taken back.
bool WriteWhole(const RecordItem* items, int32_t itemCount) {
  const int64_t before = WrittenLength(UNIT_REPORT);
  if (WriteRecord(UNIT_REPORT, items, itemCount) == IO_OK && FlushFile(UNIT_REPORT) == IO_OK) {
    return true;
  }
  CutFile(UNIT_REPORT, before);
  return false;
}

}  // namespace

void WriteReport(const char* kindText) {
  const RecordItem counts[] = {
      IntegerItem(neededList.neededCount, COUNT_WIDTH),
      TextItem(kindText, KIND_TEXT_LENGTH),
      TextItem(" Symbols were specified", 23),
      RecordBreak(),
      IntegerItem(neededList.remainingCount, COUNT_WIDTH),
      TextItem(kindText, KIND_TEXT_LENGTH),
      TextItem(" Symbols were not foun", 22),
      TextItem("d", 1),
  };
  if (!WriteWhole(counts, 8) || neededList.remainingCount <= 0) return;
  const RecordItem heading[] = {
      TextItem(kindText, KIND_TEXT_LENGTH),
      TextItem(" Symbols not found", 18),
      TextItem(":", 1),
  };
  if (!WriteWhole(heading, 3)) return;
  for (int32_t word = 1; word <= neededList.neededCount; ++word) {
    if (EntryTerminator(word) == MARK_DONE) continue;
    const RecordItem symbol[] = {TextItem(EntryText(word), symbolTable.entryLength[word])};
    WriteWhole(symbol, 1);
  }
}

}  // namespace pk
