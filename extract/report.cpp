#include "extract/report.h"

#include "extract/symbol_table.h"
#include "records/record_file.h"

namespace pk {

namespace {

constexpr int32_t KIND_TEXT_LENGTH = 3;
constexpr int32_t COUNT_WIDTH = 8;

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
  if (WriteRecord(UNIT_REPORT, counts, 8) != IO_OK || neededList.remainingCount <= 0) return;
  const RecordItem heading[] = {
      TextItem(kindText, KIND_TEXT_LENGTH),
      TextItem(" Symbols not found", 18),
      TextItem(":", 1),
  };
  if (WriteRecord(UNIT_REPORT, heading, 3) != IO_OK) return;
  for (int32_t word = 1; word <= neededList.neededCount; ++word) {
    if (EntryTerminator(word) == MARK_DONE) continue;
    WriteChars(UNIT_REPORT, EntryText(word), symbolTable.entryLength[word]);
  }
}

}  // namespace pk
