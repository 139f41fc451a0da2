#include "extract/declaration_copy.h"

#include "extract/library_lines.h"
#include "extract/symbol_table.h"
#include "records/record_file.h"

namespace pk {

namespace {

// Copies the needed blocks of `library`, attached to UNIT_INPUT, to
// `outName` on UNIT_OUTPUT, noting a read or write that failed in `faults`
// and a write that stopped the library's walk in *cutShort. Returns IO_OK,
// or the status of a take-back that failed.
IoStatus CopyLibrary(NeededWordFinder find, const LibraryName& library, const JobFileName& outName,
                     FileFaults& faults, bool* cutShort) {
  int32_t blockWord = 0;   // the word whose block is being copied, 0 when none
  int64_t blockStart = 0;  // where its block starts in the output
  IoStatus written = IO_OK;
  const IoStatus read = ReadLibraryLines(
      [&](LineRecord& header) {
        // Flushing at the end of every block ties a failed write to its block.
        if (blockWord != 0 && (written = FlushFile(UNIT_OUTPUT)) != IO_OK) return false;
        const int32_t length = FoldHeaderName(header);
        blockWord = length == 0 ? 0 : find(&header.At(3), length);
        blockStart = WrittenLength(UNIT_OUTPUT);
        if (blockWord != 0) MarkNeededWord(blockWord, MARK_DONE);
        return true;
      },
      [&](const LineRecord& line) {
        if (blockWord == 0) return true;
        written = WriteChars(UNIT_OUTPUT, line.chars, CopiedLength(line));
        return written == IO_OK;
      });
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
