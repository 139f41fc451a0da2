#include "extract/report.h"

#include "extract/symbol_table.h"
#include "records/record_file.h"

namespace pk {

namespace {

constexpr int32_t KIND_TEXT_LENGTH = 3;
constexpr int32_t COUNT_WIDTH = 8;
constexpr char ADDED_TEXT[] = " Symbols were needed by other blocks";

// What writing one section met: the first write that failed, and a
// take-back that failed (IO_OK while none did).
struct SectionWriting {
  IoStatus failed;
  IoStatus notTakenBack;
};

// Writes one record and writes it out at once, so a failure is seen by the
// write that causes it and lines accepted before are never lost with it; a
// record that could not be written whole is taken back. Returns true when
// the record was written.
bool WriteWhole(SectionWriting& writing, const RecordItem* items, int32_t itemCount) {
  const int64_t before = WrittenLength(UNIT_REPORT);
  IoStatus status = WriteRecord(UNIT_REPORT, items, itemCount);
  if (status == IO_OK) status = FlushFile(UNIT_REPORT);
  if (status == IO_OK) return true;
  if (writing.failed == IO_OK) writing.failed = status;
  writing.notTakenBack = CutFile(UNIT_REPORT, before);
  return false;
}

StepOutcome SectionOutcome(const SectionWriting& writing) {
  if (writing.notTakenBack != IO_OK) {
    return StepOutcome{StepEnd::OUTPUT_NOT_TAKEN_BACK, writing.notTakenBack};
  }
  if (writing.failed != IO_OK) return StepOutcome{StepEnd::OUTPUT_WRITE_FAILED, writing.failed};
  return STEP_DONE;
}

}  // namespace

StepOutcome WriteReport(const char* kindText) {
  SectionWriting writing = {IO_OK, IO_OK};
  const int32_t added = neededList.addedCount;
  RecordItem counts[12] = {
      IntegerItem(neededList.neededCount - added, COUNT_WIDTH),
      TextItem(kindText, KIND_TEXT_LENGTH),
      TextItem(" Symbols were specified", 23),
      RecordBreak(),
  };
  int32_t countItems = 4;
  // Symbols added for the blocks that need them are counted apart, on a line
  // of their own that only a list holding such symbols has.
  if (added > 0) {
    counts[countItems++] = IntegerItem(added, COUNT_WIDTH);
    counts[countItems++] = TextItem(kindText, KIND_TEXT_LENGTH);
    counts[countItems++] = TextItem(ADDED_TEXT, sizeof ADDED_TEXT - 1);
    counts[countItems++] = RecordBreak();
  }
  counts[countItems++] = IntegerItem(neededList.remainingCount, COUNT_WIDTH);
  counts[countItems++] = TextItem(kindText, KIND_TEXT_LENGTH);
  // The report's line layout: a literal and a one-character field, which
  // together give the bytes of " Symbols were not found".
  counts[countItems++] = TextItem(" Symbols were not foun", 22);
  counts[countItems++] = TextItem("d", 1);
  if (!WriteWhole(writing, counts, countItems) || neededList.remainingCount <= 0) {
    return SectionOutcome(writing);
  }
  const RecordItem heading[] = {
      TextItem(kindText, KIND_TEXT_LENGTH),
      TextItem(" Symbols not found", 18),
      TextItem(":", 1),
  };
  if (!WriteWhole(writing, heading, 3)) return SectionOutcome(writing);
  for (int32_t word = 1; word <= neededList.neededCount; ++word) {
    if (EntryTerminator(word) == MARK_DONE) continue;
    // An added symbol's line names the block that needs it, as its used list does.
    const RecordItem symbol[] = {TextItem(EntryText(word), symbolTable.entryLength[word]),
                                 TextItem(NEEDED_BY_TEXT, NEEDED_BY_LENGTH),
                                 TextItem(EntryRemark(word), EntryRemarkLength(word))};
    const int32_t items = EntryRemarkLength(word) > 0 ? 3 : 1;
    if (!WriteWhole(writing, symbol, items) && writing.notTakenBack != IO_OK) break;
  }
  return SectionOutcome(writing);
}

}  // namespace pk
