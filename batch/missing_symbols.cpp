#include "batch/missing_symbols.h"

#include <cstring>

#include "extract/master_list.h"
#include "records/record_file.h"

namespace pk {

namespace {

// A line of a master list or a library file as far as it is read here.
constexpr int32_t PIECE_LENGTH = 256;
constexpr int32_t REASON_INDENT = 6;  // blanks after the "C" of a reason line

struct Piece {
  char chars[PIECE_LENGTH];
  int32_t length;
};

// Reads the first PIECE_LENGTH characters of the next line on UNIT_INPUT,
// passing over the rest. Returns false at the end or on a read error.
bool ReadPiece(Piece& piece) {
  bool lineEnds = false;
  if (ReadLinePiece(UNIT_INPUT, piece.chars, PIECE_LENGTH, &piece.length, &lineEnds) != IO_OK) {
    return false;
  }
  int32_t rest = 0;
  char skipped[PIECE_LENGTH];
  while (!lineEnds) {
    if (ReadLinePiece(UNIT_INPUT, skipped, PIECE_LENGTH, &rest, &lineEnds) != IO_OK) return false;
  }
  return true;
}

int32_t WordEnd(const Piece& piece, int32_t start) {
  int32_t end = start;
  while (end < piece.length && piece.chars[end] != BLANK) ++end;
  return end;
}

int32_t SkipBlanks(const Piece& piece, int32_t start) {
  while (start < piece.length && piece.chars[start] == BLANK) ++start;
  return start;
}

// The two texts are equal when folded to capitals.
bool SameFolded(const char* a, int32_t length, const char* b, int32_t bLength) {
  if (length != bLength) return false;
  for (int32_t i = 0; i < length; ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

// The slot whose library's base name is `name` (any case), or -1.
int32_t LibrarySlot(SymbolKind kind, const char* name, int32_t length) {
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    const LibraryName& library = LibrariesOf(kind)[slot];
    int32_t base = 0;
    while (base < LIBRARY_NAME_LENGTH && library.chars[base] != '.') ++base;
    if (SameFolded(library.chars, base, name, length)) return slot;
  }
  return -1;
}

bool OpenInLibraryDirectory(const LibraryDirectory& directory, const char* name, int32_t length) {
  FilePath path;
  LibraryFilePath(directory, name, length, path);
  return OpenFile(UNIT_INPUT, path, OpenStatus::OLD) == IO_OK;
}

void NoteKindCopied(void* context, SymbolKind kind, int32_t specifiedCount, int32_t addedCount,
                    int32_t notFoundCount) {
  MissingSymbols& missing = *static_cast<MissingSymbols*>(context);
  const int k = static_cast<int>(kind);
  missing.copied[k] = true;
  missing.specifiedCount[k] = specifiedCount;
  missing.addedCount[k] = addedCount;
  missing.notFoundCount[k] = notFoundCount;
}

void NoteLibraryCutShort(void* context, SymbolKind kind, int32_t slot) {
  static_cast<MissingSymbols*>(context)->libraryCutShort[static_cast<int>(kind)][slot] = true;
}

void NoteNotFound(void* context, SymbolKind kind, const char* word, int32_t length,
                  const char* neededBy, int32_t neededByLength, bool notWritten) {
  MissingSymbols& missing = *static_cast<MissingSymbols*>(context);
  if (missing.count == MAX_TOLD_MISSING) {
    ++missing.untold;
    return;
  }
  MissingSymbol& symbol = missing.symbols[missing.count++];
  symbol.kind = kind;
  symbol.nameLength = length < LINE_LENGTH ? length : LINE_LENGTH;
  std::memcpy(symbol.name, word, static_cast<size_t>(symbol.nameLength));
  symbol.neededByLength = neededByLength < LINE_LENGTH ? neededByLength : LINE_LENGTH;
  if (symbol.neededByLength > 0) {
    std::memcpy(symbol.neededBy, neededBy, static_cast<size_t>(symbol.neededByLength));
  }
  symbol.reason = notWritten ? MissingReason::NOT_WRITTEN : MissingReason::NO_BLOCK;
  AssignText(symbol.library, "", 0);
  symbol.detailLength = 0;
}

// The master list of `kind`: every missing symbol of the kind takes its
// spelling and the library its remark names, and the entry that needs it
// its spelling.
void ReadMasterList(MissingSymbols& missing, SymbolKind kind, const LibraryDirectory& directory) {
  const char* master = kind == SymbolKind::FD ? MASTER_FD_NAME : MASTER_FI_NAME;
  if (!OpenInLibraryDirectory(directory, master, static_cast<int32_t>(std::strlen(master)))) return;
  Piece piece;
  while (ReadPiece(piece)) {
    if (piece.length == 0 || piece.chars[0] == BLANK) continue;
    const int32_t end = WordEnd(piece, 0) < LINE_LENGTH ? WordEnd(piece, 0) : LINE_LENGTH;
    for (int32_t i = 0; i < missing.count; ++i) {
      MissingSymbol& symbol = missing.symbols[i];
      if (symbol.kind != kind) continue;
      if (SameFolded(symbol.neededBy, symbol.neededByLength, piece.chars, end)) {
        std::memcpy(symbol.neededBy, piece.chars, static_cast<size_t>(end));
      }
      if (!SameFolded(symbol.name, symbol.nameLength, piece.chars, end)) continue;
      std::memcpy(symbol.name, piece.chars, static_cast<size_t>(end));
      const int32_t remark = SkipBlanks(piece, end);
      const int32_t slot = LibrarySlot(kind, piece.chars + remark, WordEnd(piece, remark) - remark);
      if (slot >= 0) symbol.library = LibrariesOf(kind)[slot];
    }
  }
  CloseFileWithStatus(UNIT_INPUT);
}

void AppendDetail(MissingSymbol& symbol, const char* text, int32_t length) {
  if (symbol.detailLength > 0 && symbol.detailLength < MISSING_DETAIL_LENGTH) {
    symbol.detail[symbol.detailLength++] = BLANK;
  }
  const int32_t room = MISSING_DETAIL_LENGTH - symbol.detailLength;
  const int32_t taken = length < room ? length : room;
  std::memcpy(symbol.detail + symbol.detailLength, text, static_cast<size_t>(taken));
  symbol.detailLength += taken;
}

// The reason lines of `library`, for its missing symbols still NO_BLOCK. A
// block header forgets the lines before it: only those after the last block
// count.
void ReadReasonLines(MissingSymbols& missing, SymbolKind kind, const LibraryName& library,
                     const LibraryDirectory& directory) {
  if (!OpenInLibraryDirectory(directory, library.chars, LIBRARY_NAME_LENGTH)) return;
  const auto ofLibrary = [&](const MissingSymbol& symbol) {
    return symbol.kind == kind && symbol.reason != MissingReason::NOT_WRITTEN &&
           TextEqual(symbol.library.chars, LIBRARY_NAME_LENGTH, library.chars, LIBRARY_NAME_LENGTH);
  };
  MissingSymbol* continued = nullptr;  // the symbol whose reason the next lines may go on
  Piece piece;
  while (ReadPiece(piece)) {
    const int32_t length = TrimmedLength(piece.chars, piece.length);
    const bool comment = length > 0 && (piece.chars[0] == 'C' || piece.chars[0] == 'c');
    if (comment && length > 1 && piece.chars[1] == '*') {
      for (int32_t i = 0; i < missing.count; ++i) {
        if (ofLibrary(missing.symbols[i])) {
          missing.symbols[i].reason = MissingReason::NO_BLOCK;
          missing.symbols[i].detailLength = 0;
        }
      }
      continued = nullptr;
      continue;
    }
    const int32_t text = comment ? SkipBlanks(piece, 1) : 0;
    if (!comment || text == length) {
      continued = nullptr;
      continue;
    }
    if (text > REASON_INDENT) {
      if (continued != nullptr) AppendDetail(*continued, piece.chars + text, length - text);
      continue;
    }
    continued = nullptr;
    if (text != REASON_INDENT) continue;
    int32_t colon = text;
    while (colon < length && piece.chars[colon] != ':' && piece.chars[colon] != BLANK) ++colon;
    if (colon == length || piece.chars[colon] != ':') continue;
    for (int32_t i = 0; i < missing.count; ++i) {
      MissingSymbol& symbol = missing.symbols[i];
      if (!ofLibrary(symbol) ||
          !SameFolded(symbol.name, symbol.nameLength, piece.chars + text, colon - text)) {
        continue;
      }
      symbol.reason = MissingReason::LISTED_WITHOUT_BLOCK;
      symbol.detailLength = 0;
      const int32_t detail = SkipBlanks(piece, colon + 1);
      AppendDetail(symbol, piece.chars + detail, length - detail);
      continued = &symbol;
    }
  }
  CloseFileWithStatus(UNIT_INPUT);
}

// The block headers of `library`, whose copying was cut short: a missing
// symbol of `kind` with a block there was not met for that reason. Its
// header is read as the job reads one: the word after "C*", up to column 80.
void ReadCutLibrary(MissingSymbols& missing, SymbolKind kind, const LibraryName& library,
                    const LibraryDirectory& directory) {
  if (!OpenInLibraryDirectory(directory, library.chars, LIBRARY_NAME_LENGTH)) return;
  Piece piece;
  while (ReadPiece(piece)) {
    if (piece.length < 3 || (piece.chars[0] != 'C' && piece.chars[0] != 'c') ||
        piece.chars[1] != '*') {
      continue;
    }
    const int32_t end = WordEnd(piece, 2) < LINE_LENGTH ? WordEnd(piece, 2) : LINE_LENGTH;
    for (int32_t i = 0; i < missing.count; ++i) {
      MissingSymbol& symbol = missing.symbols[i];
      if (symbol.kind != kind || symbol.reason == MissingReason::NOT_WRITTEN ||
          symbol.reason == MissingReason::LIBRARY_NOT_COPIED ||
          !SameFolded(symbol.name, symbol.nameLength, piece.chars + 2, end - 2)) {
        continue;
      }
      symbol.reason = MissingReason::LIBRARY_NOT_COPIED;
      symbol.library = library;
      symbol.detailLength = 0;
    }
  }
  CloseFileWithStatus(UNIT_INPUT);
}

bool NotRead(const FileFaults& faults, const LibraryName& library) {
  for (int32_t i = 0; i < faults.count; ++i) {
    const FileFault& fault = faults.faults[i];
    if (fault.operation == FileOperation::READ && fault.inLibraryDirectory &&
        TextEqual(fault.file.chars, LIBRARY_NAME_LENGTH, library.chars, LIBRARY_NAME_LENGTH)) {
      return true;
    }
  }
  return false;
}

void ExplainKind(MissingSymbols& missing, SymbolKind kind, const FileFaults& faults,
                 const LibraryDirectory& directory) {
  const int k = static_cast<int>(kind);
  // A library file is only missed when a symbol of its kind is: the job
  // opens none once every symbol is found.
  if (!missing.copied[k] || missing.notFoundCount[k] == 0) return;
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    const LibraryName& library = LibrariesOf(kind)[slot];
    const bool opens = OpenInLibraryDirectory(directory, library.chars, LIBRARY_NAME_LENGTH);
    if (opens) CloseFileWithStatus(UNIT_INPUT);
    missing.libraryMissing[k][slot] = !opens;
  }
  bool any = false;
  for (int32_t i = 0; i < missing.count; ++i) any = any || missing.symbols[i].kind == kind;
  if (!any) return;
  ReadMasterList(missing, kind, directory);
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    const LibraryName& library = LibrariesOf(kind)[slot];
    bool used = false;
    for (int32_t i = 0; i < missing.count; ++i) {
      MissingSymbol& symbol = missing.symbols[i];
      if (symbol.kind != kind || symbol.reason == MissingReason::NOT_WRITTEN ||
          !TextEqual(symbol.library.chars, LIBRARY_NAME_LENGTH, library.chars,
                     LIBRARY_NAME_LENGTH)) {
        continue;
      }
      if (missing.libraryMissing[k][slot]) {
        symbol.reason = MissingReason::LIBRARY_MISSING;
      } else if (NotRead(faults, library)) {
        symbol.reason = MissingReason::LIBRARY_NOT_READ;
      } else {
        used = true;
      }
    }
    if (used) ReadReasonLines(missing, kind, library, directory);
  }
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    if (missing.libraryCutShort[k][slot]) {
      ReadCutLibrary(missing, kind, LibrariesOf(kind)[slot], directory);
    }
  }
}

}  // namespace

const LibraryName* LibrariesOf(SymbolKind kind) {
  return kind == SymbolKind::FD ? libraryTable.fdLibraries : libraryTable.fiLibraries;
}

JobObserver ObserveMissingSymbols(MissingSymbols& missing) {
  // Field by field: the table is too large for a temporary.
  for (int k = 0; k < SYMBOL_KINDS; ++k) {
    missing.copied[k] = false;
    missing.specifiedCount[k] = 0;
    missing.addedCount[k] = 0;
    missing.notFoundCount[k] = 0;
    for (bool& libraryMissing : missing.libraryMissing[k]) libraryMissing = false;
    for (bool& cutShort : missing.libraryCutShort[k]) cutShort = false;
  }
  missing.count = 0;
  missing.untold = 0;
  return {&missing, NoteKindCopied, NoteLibraryCutShort, NoteNotFound};
}

void ExplainMissingSymbols(MissingSymbols& missing, const FileFaults& faults,
                           const LibraryDirectory& directory) {
  ExplainKind(missing, SymbolKind::FD, faults, directory);
  ExplainKind(missing, SymbolKind::FI, faults, directory);
}

bool AnythingMissing(const MissingSymbols& missing) {
  for (int k = 0; k < SYMBOL_KINDS; ++k) {
    if (missing.notFoundCount[k] > 0) return true;
    for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
      if (missing.libraryMissing[k][slot]) return true;
    }
  }
  return false;
}

}  // namespace pk
