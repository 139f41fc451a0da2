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

// Copies the needed blocks of `library`, attached to UNIT_INPUT, to
// `outName` on UNIT_OUTPUT, noting a read or write that failed in `faults`
// and a write that stopped the library's walk in *cutShort. Returns IO_OK,
// or the status of a take-back that failed.
IoStatus CopyLibrary(NeededWordFinder find, const LibraryName& library, const JobFileName& outName,
                     FileFaults& faults, bool* cutShort) {
  int32_t blockWord = 0;   // the word whose block is being copied, 0 when none
  int64_t blockStart = 0;  // where its block starts in the output
  IoStatus written = IO_OK;
  LineRecord line;
  IoStatus read;
  while ((read = ReadLine(UNIT_INPUT, line)) == IO_OK) {
    if (line.At(1) == 'c') line.At(1) = 'C';
    if (blockWord != 0 && line.At(1) != 'C') {
      written = WriteChars(UNIT_OUTPUT, line.chars, LastSignificantColumn(line));
      if (written != IO_OK) break;
    }
    if (IsBlockHeader(line)) {
      // Flushing at the end of every block ties a failed write to its block.
      if (blockWord != 0 && (written = FlushFile(UNIT_OUTPUT)) != IO_OK) break;
      blockWord = HeaderWord(line, find);
      blockStart = WrittenLength(UNIT_OUTPUT);
      if (blockWord != 0) MarkNeededWord(blockWord, MARK_DONE);
    }
  }
  if (read > 0) {
    NoteFileFault(faults, FileOperation::READ, library.chars, LIBRARY_NAME_LENGTH, read, true);
  } else if (blockWord != 0 && written == IO_OK) {
    written = FlushFile(UNIT_OUTPUT);
  }
  // A failed write broke off the walk before the library's end.
  *cutShort = written != IO_OK && read == IO_OK;
  if (blockWord == 0 || (read <= 0 && written == IO_OK)) return IO_OK;
  // A block cut short by a read error or a failed write is not found, and
  // what was written of it is taken back so the output holds whole blocks only.
  MarkNeededWord(blockWord, MARK_FAILED);
  const IoStatus takenBack = CutFile(UNIT_OUTPUT, blockStart);
  if (takenBack == IO_OK && written != IO_OK) {
    NoteFileFault(faults, FileOperation::WRITE, outName.chars, JOB_FILE_NAME_LENGTH, written,
                  false);
  }
  return takenBack;
}

}  // namespace

StepOutcome CopyDeclarations(const LibraryDirectory& directory, const LibraryName* libraries,
                             const JobFileName& outName, NeededWordFinder find, FileFaults& faults,
                             bool (&cutShort)[LIBRARY_SLOTS]) {
  const IoStatus opened = OpenFile(UNIT_OUTPUT, outName, OpenStatus::REPLACE);
  if (opened != IO_OK) return StepOutcome{StepEnd::OUTPUT_NOT_OPENED, opened};
  IoStatus takenBack = IO_OK;
  for (int32_t slot = 0; slot < libraryTable.libraryCount && takenBack == IO_OK; ++slot) {
    if (neededList.remainingCount == 0) break;
    FilePath path;
    LibraryFilePath(directory, libraries[slot].chars, LIBRARY_NAME_LENGTH, path);
    if (OpenFile(UNIT_INPUT, path, OpenStatus::OLD) != IO_OK) continue;
    takenBack = CopyLibrary(find, libraries[slot], outName, faults, &cutShort[slot]);
    CloseFile(UNIT_INPUT);
  }
  CloseFile(UNIT_OUTPUT);
  if (takenBack != IO_OK) return StepOutcome{StepEnd::OUTPUT_NOT_TAKEN_BACK, takenBack};
  return STEP_DONE;
}

}  // namespace pk
