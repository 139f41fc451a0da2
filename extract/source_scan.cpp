#include "extract/source_scan.h"

#include "extract/symbol_table.h"
#include "records/record_file.h"

namespace pk {

namespace {

constexpr int32_t FIRST_SCANNED_COLUMN = 7;

// Per byte: the identifier character folded to capitals, or 0 for a
// separator. A table keeps the per-column work of the scan to one load.
struct IdentifierTable {
  char folded[256];
  IdentifierTable() : folded() {
    for (int c = 0; c < 256; ++c) {
      const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
      if (letter || (c >= '0' && c <= '9') || c == '_') {
        folded[c] = FoldCase(static_cast<char>(c));
      }
    }
  }
};
const IdentifierTable identifierTable;

char FoldedIdentifierChar(char c) {
  return identifierTable.folded[static_cast<unsigned char>(c)];
}

bool IsCommentLine(const LineRecord& line) {
  const char first = line.At(1);
  return first == 'C' || first == 'c' || first == '$';
}

// Writes the symbols of one statement line. Returns false when a write failed.
bool ScanLine(LineRecord& line, IdentifierLookup lookUp) {
  int32_t column = FIRST_SCANNED_COLUMN;
  while (column <= LINE_LENGTH) {
    const int32_t start = column;
    while (column <= LINE_LENGTH && FoldedIdentifierChar(line.At(column)) != 0) {
      line.At(column) = FoldedIdentifierChar(line.At(column));
      ++column;
    }
    const int32_t length = column - start;
    ++column;  // over the separator that ended the identifier
    if (length == 0) continue;
    const int32_t entry = lookUp(&line.At(start), length);
    if (entry == 0 || EntryTerminator(entry) != MARK_OPEN) continue;
    if (WriteChars(UNIT_OUTPUT, EntryText(entry), symbolTable.entryLength[entry]) != IO_OK) {
      return false;
    }
    EntryTerminator(entry) = MARK_DONE;
  }
  return true;
}

}  // namespace

StepOutcome ScanSource(const JobFileName& sourceName, const JobFileName& usedName,
                       IdentifierLookup lookUp) {
  if (OpenFile(UNIT_INPUT, sourceName, OpenStatus::OLD) != IO_OK) {
    return StepOutcome::INPUT_NOT_OPENED;
  }
  if (OpenFile(UNIT_OUTPUT, usedName, OpenStatus::REPLACE) != IO_OK) {
    CloseFile(UNIT_INPUT);
    return StepOutcome::OUTPUT_NOT_OPENED;
  }
  bool written = true;
  IoStatus read = IO_OK;
  LineRecord line;
  while (written && (read = ReadLine(UNIT_INPUT, line)) == IO_OK) {
    if (!IsCommentLine(line)) written = ScanLine(line, lookUp);
  }
  // The layer buffers lines: only the flush tells whether the last ones arrived.
  if (written) written = FlushFile(UNIT_OUTPUT) == IO_OK;
  CloseFile(UNIT_OUTPUT);
  CloseFile(UNIT_INPUT);
  if (!written) return StepOutcome::OUTPUT_WRITE_FAILED;
  // A source cut by a read error would leave used symbols out of the list.
  return read > 0 ? StepOutcome::INPUT_READ_FAILED : StepOutcome::DONE;
}

}  // namespace pk
