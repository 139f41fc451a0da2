#include "extract/source_scan.h"

#include <cstring>

#include "extract/free_form_scan.h"
#include "extract/identifier_chars.h"
#include "extract/master_list.h"
#include "extract/needed_list.h"
#include "extract/symbol_table.h"
#include "records/record_file.h"

namespace pk {

namespace {

constexpr int32_t FIRST_SCANNED_COLUMN = 7;
// Free-form lines are read in pieces of this many columns.
constexpr int32_t FREE_FORM_PIECE = 1024;

// What the scan of one source met: the status of a failed write, IO_OK
// while every write went through.
struct ScanState {
  IdentifierLookup lookUp;
  IoStatus written;
};

// Writes the folded identifier to the used list when it is a master-list
// symbol not written yet. Returns false when the write failed.
bool TakeIdentifier(ScanState& state, const char* chars, int32_t length) {
  const int32_t entry = state.lookUp(chars, length);
  if (entry == 0 || EntryTerminator(entry) != MARK_OPEN) return true;
  state.written = WriteChars(UNIT_OUTPUT, EntryText(entry), symbolTable.entryLength[entry]);
  if (state.written != IO_OK) return false;
  EntryTerminator(entry) = MARK_DONE;
  return true;
}

bool TakeWord(void* context, const char* chars, int32_t length) {
  return TakeIdentifier(*static_cast<ScanState*>(context), chars, length);
}

bool IsCommentLine(const LineRecord& line) {
  const char first = line.At(1);
  return first == 'C' || first == 'c' || first == '$';
}

// Columns as bits: bit c - 1 of the 128 stands for column c.
struct ColumnBits {
  uint64_t word[2];
};
static_assert(LINE_LENGTH % BYTE_VECTOR_SIZE == 0 && LINE_LENGTH <= 128,
              "a line's columns are whole vectors and fit two words");

// The first column at or after column from + 1 whose bit is set, as its
// 0-based offset; 128 when there is none.
int32_t NextSetColumn(const ColumnBits& bits, int32_t from) {
  if (from < 64) {
    const uint64_t rest = bits.word[0] >> from;
    if (rest != 0) return from + __builtin_ctzll(rest);
    from = 64;
  }
  const uint64_t rest = from < 128 ? bits.word[1] >> (from - 64) : 0;
  return rest != 0 ? from + __builtin_ctzll(rest) : 128;
}

// Writes the symbols of one statement line. Returns false when a write failed.
// The line is folded and classified sixteen columns at a time; the identifiers
// are then the runs of identifier columns from column 7 on.
bool ScanLine(LineRecord& line, ScanState& state) {
  // The blank stretches at the end hold nothing to fold or take.
  int32_t filled = LINE_LENGTH;
  while (filled > 0 && LaneBits(Lanes(LoadBytes(line.chars + filled - BYTE_VECTOR_SIZE) ==
                                      SameBytes(BLANK))) == 0xFFFFu) {
    filled -= BYTE_VECTOR_SIZE;
  }
  ColumnBits identifiers = {{0, 0}};
  for (int32_t offset = 0; offset < filled; offset += BYTE_VECTOR_SIZE) {
    const SixteenCharacters sixteen = ClassifySixteen(LoadBytes(line.chars + offset));
    StoreBytes(line.chars + offset, sixteen.folded);
    identifiers.word[offset / 64] |= uint64_t{sixteen.identifierBits} << (offset % 64);
  }
  identifiers.word[0] &= ~uint64_t{0} << (FIRST_SCANNED_COLUMN - 1);
  // Every column past the line's end counts as a separator.
  const ColumnBits separators = {{~identifiers.word[0], ~identifiers.word[1]}};
  int32_t start = NextSetColumn(identifiers, 0);
  while (start < LINE_LENGTH) {
    const int32_t end = NextSetColumn(separators, start);
    if (!TakeIdentifier(state, &line.chars[start], end - start)) return false;
    start = NextSetColumn(identifiers, end);
  }
  return true;
}

// Scans the fixed-form source on UNIT_INPUT. Returns the status that ended
// the reading (IO_END_OF_FILE at the end); a failed write stops it early.
IoStatus ScanFixedForm(ScanState& state) {
  IoStatus read = IO_OK;
  LineRecord line;
  while ((read = ReadLine(UNIT_INPUT, line)) == IO_OK) {
    if (!IsCommentLine(line) && !ScanLine(line, state)) break;
  }
  return read;
}

// The same for a free-form source.
IoStatus ScanFreeForm(ScanState& state) {
  FreeFormScanner scanner;
  StartFreeFormScan(scanner, TakeWord, &state);
  char piece[FREE_FORM_PIECE];
  int32_t count = 0;
  bool lineEnds = false;
  IoStatus read = IO_OK;
  bool going = true;
  while (going &&
         (read = ReadLinePiece(UNIT_INPUT, piece, FREE_FORM_PIECE, &count, &lineEnds)) == IO_OK) {
    going = ScanFreeFormPiece(scanner, piece, count) && (!lineEnds || EndFreeFormLine(scanner));
  }
  if (going && read == IO_END_OF_FILE) EndFreeFormSource(scanner);
  return read;
}

// Writes, after the source's own symbols, every symbol that a needs line of
// an entry the source uses names and that is not in the list yet, with a
// remark naming that entry, and marks it MARK_ADDED: the needs of an added
// symbol are not followed. Needs lines go in list order. Returns false when
// a write failed.
bool AddNeededSymbols(ScanState& state) {
  if (NeedsLineCount() == 0) return true;
  int32_t owner = 0;  // the nearest entry above that is not a needs line
  for (int32_t j = 1; j <= symbolTable.entryCount; ++j) {
    const char* text = EntryText(j);
    const int32_t length = symbolTable.entryLength[j];
    if (text[0] != NEEDS_LINE_MARK) {
      owner = j;
      continue;
    }
    if (owner == 0 || EntryTerminator(owner) != MARK_DONE || length < 2) continue;
    const int32_t needed = state.lookUp(text + 1, length - 1);
    if (needed == 0 || EntryTerminator(needed) != MARK_OPEN) continue;
    const RecordItem line[] = {TextItem(EntryText(needed), symbolTable.entryLength[needed]),
                               TextItem(NEEDED_BY_TEXT, NEEDED_BY_LENGTH),
                               TextItem(EntryText(owner), symbolTable.entryLength[owner])};
    state.written = WriteRecord(UNIT_OUTPUT, line, 3);
    if (state.written != IO_OK) return false;
    EntryTerminator(needed) = MARK_ADDED;
  }
  return true;
}

}  // namespace

StepOutcome ScanSource(const JobFileName& sourceName, const JobFileName& usedName,
                       IdentifierLookup lookUp, SourceForm form) {
  const IoStatus opened = OpenFile(UNIT_INPUT, sourceName, OpenStatus::OLD);
  if (opened != IO_OK) return StepOutcome{StepEnd::INPUT_NOT_OPENED, opened};
  const IoStatus created = OpenFile(UNIT_OUTPUT, usedName, OpenStatus::REPLACE);
  if (created != IO_OK) {
    CloseFile(UNIT_INPUT);
    return StepOutcome{StepEnd::OUTPUT_NOT_OPENED, created};
  }
  ScanState state = {lookUp, IO_OK};
  const IoStatus read = form == SourceForm::FIXED ? ScanFixedForm(state) : ScanFreeForm(state);
  if (read == IO_END_OF_FILE && state.written == IO_OK) AddNeededSymbols(state);
  // The layer buffers lines: only the flush tells whether the last ones arrived.
  if (state.written == IO_OK) state.written = FlushFile(UNIT_OUTPUT);
  // A failed write whose take-back to the last whole line failed too is
  // taken back once more; when that fails, the list may end inside a line.
  const IoStatus takenBack =
      state.written == IO_OK ? IO_OK : CutFile(UNIT_OUTPUT, WrittenLength(UNIT_OUTPUT));
  CloseFile(UNIT_OUTPUT);
  CloseFile(UNIT_INPUT);
  if (takenBack != IO_OK) return StepOutcome{StepEnd::OUTPUT_NOT_TAKEN_BACK, takenBack};
  if (state.written != IO_OK) return StepOutcome{StepEnd::OUTPUT_WRITE_FAILED, state.written};
  // A source cut by a read error would leave used symbols out of the list.
  return read > 0 ? StepOutcome{StepEnd::INPUT_READ_FAILED, read} : STEP_DONE;
}

}  // namespace pk
