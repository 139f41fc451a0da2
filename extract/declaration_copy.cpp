#include "extract/declaration_copy.h"

#include "extract/symbol_table.h"
#include "records/record_file.h"

namespace pk {

namespace {

bool IsBlockHeader(const LineRecord& line) {
  return line.At(1) == 'C' && line.At(2) == '*';
}

// The last column holding neither a blank nor a NUL; 0 when there is none.
int32_t LastSignificantColumn(const LineRecord& line) {
  int32_t k = LINE_LENGTH;
  while (k > 0 && (line.At(k) == BLANK || line.At(k) == '\0')) --k;
  return k;
}

// A block whose lines could not all be written, or read, counts as not
// found, and what was written of it is taken back so the output holds whole
// blocks only.
void FailBlock(int32_t word, int64_t blockStart) {
  CutFile(UNIT_OUTPUT, blockStart);
  MarkNeededWord(word, MARK_FAILED);
  neededList.remainingCount += 1;
}

// The needed word named by a header line, folding the name in place; 0 when
// the header names no unfound word.
int32_t HeaderWord(LineRecord& line, NeededWordFinder find) {
  int32_t end = 3;
  while (end <= LINE_LENGTH && line.At(end) != BLANK) {
    line.At(end) = FoldCase(line.At(end));
    ++end;
  }
  if (end == 3) return 0;
  return find(&line.At(3), end - 3);
}

// Copies the needed blocks of the library attached to UNIT_INPUT.
void CopyLibrary(NeededWordFinder find) {
  int32_t blockWord = 0;   // the word whose block is being copied, 0 when none
  int64_t blockStart = 0;  // where its block starts in the output
  LineRecord line;
  IoStatus read;
  while ((read = ReadLine(UNIT_INPUT, line)) == IO_OK) {
    if (line.At(1) == 'c') line.At(1) = 'C';
    if (blockWord != 0 && line.At(1) != 'C') {
      if (WriteChars(UNIT_OUTPUT, line.chars, LastSignificantColumn(line)) != IO_OK) {
        FailBlock(blockWord, blockStart);
        return;
      }
    }
    if (IsBlockHeader(line)) {
      // Flushing at the end of every block ties a failed write to its block.
      if (blockWord != 0 && FlushFile(UNIT_OUTPUT) != IO_OK) {
        FailBlock(blockWord, blockStart);
        return;
      }
      blockWord = HeaderWord(line, find);
      blockStart = WrittenLength(UNIT_OUTPUT);
      if (blockWord != 0) {
        MarkNeededWord(blockWord, MARK_DONE);
        neededList.remainingCount -= 1;
      }
    }
  }
  if (blockWord == 0) return;
  // A read error may have cut the block short: it is not found, not half copied.
  if (read > 0 || FlushFile(UNIT_OUTPUT) != IO_OK) FailBlock(blockWord, blockStart);
}

}  // namespace

StepOutcome CopyDeclarations(const LibraryName* libraries, const JobFileName& outName,
                             NeededWordFinder find) {
  const IoStatus opened = OpenFile(UNIT_OUTPUT, outName, OpenStatus::REPLACE);
  if (opened != IO_OK) return StepFailed(StepOutcome::OUTPUT_NOT_OPENED, opened);
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    if (neededList.remainingCount == 0) break;
    FilePath path;
    LibraryFilePath(libraries[slot].chars, LIBRARY_NAME_LENGTH, path);
    if (OpenFile(UNIT_INPUT, path, OpenStatus::OLD) != IO_OK) continue;
    CopyLibrary(find);
    CloseFile(UNIT_INPUT);
  }
  CloseFile(UNIT_OUTPUT);
  return StepOutcome::DONE;
}

}  // namespace pk
