#include "batch/symbol_show.h"

#include <cstring>
#include <initializer_list>

#include "batch/batch_options.h"
#include "batch/batch_summary.h"
#include "batch/closest_names.h"
#include "batch/missing_symbols.h"
#include "extract/library_lines.h"
#include "extract/master_list.h"
#include "extract/symbol_table.h"

namespace pk {

namespace {

const char* KindText(SymbolKind kind) {
  return kind == SymbolKind::FD ? "FD" : "FI";
}

const char* MasterName(SymbolKind kind) {
  return kind == SymbolKind::FD ? MASTER_FD_NAME : MASTER_FI_NAME;
}

int KindIndex(SymbolKind kind) {
  return static_cast<int>(kind);
}

// A symbol folded as the job folds names. One longer than LINE_LENGTH keeps
// LINE_LENGTH + 1 characters, which no entry equals.
struct FoldedSymbol {
  char chars[LINE_LENGTH + 1];
  int32_t length;
};

FoldedSymbol Fold(const char* symbol) {
  FoldedSymbol folded = {};
  while (symbol[folded.length] != '\0' && folded.length <= LINE_LENGTH) {
    folded.chars[folded.length] = FoldCase(symbol[folded.length]);
    ++folded.length;
  }
  return folded;
}

struct ShowState {
  const ShowRequest& request;
  std::FILE* out;
  std::FILE* errors;
  bool told[SYMBOL_KINDS];  // a failure of the kind's master list was told
  int loaded;               // the kind whose master list the table holds; -1 for none
};

// Per symbol: whether each kind's master list holds it, and the names
// closest to it.
bool inList[MAX_SHOW_SYMBOLS][SYMBOL_KINDS];
CloseNames closeNames[MAX_SHOW_SYMBOLS];
// Why a symbol has no block, as the job's --strict tells it; in static
// storage, being large.
MissingSymbols missing;

void TellFailure(const ShowState& state, const char* verb, const FilePath& path, IoStatus reason) {
  std::fprintf(state.errors, "pareskit-batch: cannot %s %.*s: %s%s\n", verb,
               TrimmedLength(path.chars, MAX_FILE_NAME), path.chars, IoStatusText(reason),
               state.request.failureNote);
}

FilePath PathOf(const ShowState& state, const char* name, int32_t length) {
  FilePath path;
  LibraryFilePath(state.request.directory, name, length, path);
  return path;
}

FilePath MasterPath(const ShowState& state, SymbolKind kind) {
  return PathOf(state, MasterName(kind), static_cast<int32_t>(std::strlen(MasterName(kind))));
}

// Loads the master list of `kind` into the table unless it holds it. A list
// that cannot be opened leaves the table empty, one cut by a read error the
// entries before it; either is told once.
void LoadKind(ShowState& state, SymbolKind kind) {
  if (state.loaded == KindIndex(kind)) return;
  state.loaded = KindIndex(kind);
  const FilePath path = MasterPath(state, kind);
  const StepOutcome loaded = LoadMasterList(path.chars, MAX_FILE_NAME);
  if (loaded.end == StepEnd::DONE || state.told[KindIndex(kind)]) return;
  state.told[KindIndex(kind)] = true;
  TellFailure(state, loaded.end == StepEnd::INPUT_NOT_OPENED ? "open" : "read", path,
              loaded.status);
}

struct ClosestSpelling {
  int32_t count;
  SymbolKind kind;
};

// EntrySpelling for the close names of the loaded kind.
bool SpellCloseName(void* context, int32_t entry, const char* chars, int32_t length) {
  const ClosestSpelling& spelling = *static_cast<ClosestSpelling*>(context);
  for (int32_t i = 0; i < spelling.count; ++i) {
    for (int32_t n = 0; n < closeNames[i].count; ++n) {
      CloseName& name = closeNames[i].names[n];
      if (name.kind != spelling.kind || name.entry != entry) continue;
      std::memcpy(name.spelling, chars, static_cast<size_t>(length));
    }
  }
  return true;
}

// Notes which of the `count` symbols the master list of `kind` holds and
// offers the names of the list to each symbol no list held so far.
void LookUpKind(ShowState& state, SymbolKind kind, int32_t count) {
  LoadKind(state, kind);
  bool offered = false;
  for (int32_t i = 0; i < count; ++i) {
    const FoldedSymbol symbol = Fold(state.request.symbols[i]);
    inList[i][KindIndex(kind)] = LookUpIdentifier(symbol.chars, symbol.length) != 0;
    if (inList[i][KindIndex(SymbolKind::FD)] || inList[i][KindIndex(SymbolKind::FI)] ||
        symbol.length == 0) {
      continue;
    }
    const int32_t length = symbol.length < LINE_LENGTH ? symbol.length : LINE_LENGTH;
    OfferMasterEntries(closeNames[i], symbol.chars, length, kind);
    offered = true;
  }
  if (!offered) return;
  ClosestSpelling spelling = {count, kind};
  const FilePath path = MasterPath(state, kind);
  SpellMasterEntries(path.chars, MAX_FILE_NAME, SpellCloseName, &spelling);
}

// The first line of a paragraph, written as the master list is read again.
struct Heading {
  std::FILE* out;
  SymbolKind kind;
  int32_t entry;
  bool written;
  int32_t needs;
};

// EntrySpelling for the symbol's entry and its needs lines, which follow it:
// writes "NAME: KIND symbol, needs" and each symbol a needs line adds, once.
// A needed symbol is marked MARK_ADDED in the table until the line is done.
bool WriteHeading(void* context, int32_t entry, const char* chars, int32_t length) {
  Heading& heading = *static_cast<Heading*>(context);
  if (entry < heading.entry) return true;
  std::FILE* out = heading.out;
  if (entry == heading.entry) {
    std::fprintf(out, "%.*s: %s symbol, needs", static_cast<int>(length), chars,
                 KindText(heading.kind));
    heading.written = true;
    return true;
  }
  const char* text = EntryText(entry);
  if (text[0] != NEEDS_LINE_MARK) return false;
  // As the job adds it: a symbol of the list, not the entry itself, once.
  const int32_t needed = LookUpIdentifier(text + 1, length - 1);
  if (needed == 0 || needed == heading.entry || EntryTerminator(needed) != MARK_OPEN) return true;
  EntryTerminator(needed) = MARK_ADDED;
  std::fprintf(out, "%s%.*s", heading.needs == 0 ? " " : ", ", static_cast<int>(length - 1),
               chars + 1);
  ++heading.needs;
  return true;
}

void WriteHeadingLine(ShowState& state, SymbolKind kind, int32_t entry) {
  Heading heading = {state.out, kind, entry, false, 0};
  const FilePath path = MasterPath(state, kind);
  SpellMasterEntries(path.chars, MAX_FILE_NAME, WriteHeading, &heading);
  if (!heading.written) {
    // The list changed since it was loaded: the name as the table holds it.
    std::fprintf(state.out, "%.*s: %s symbol, needs", symbolTable.entryLength[entry],
                 EntryText(entry), KindText(kind));
  }
  std::fprintf(state.out, "%s\n", heading.needs == 0 ? " nothing" : "");
  for (int32_t j = entry + 1; j <= symbolTable.entryCount && EntryText(j)[0] == NEEDS_LINE_MARK;
       ++j) {
    const int32_t needed = LookUpIdentifier(EntryText(j) + 1, symbolTable.entryLength[j] - 1);
    if (needed != 0) EntryTerminator(needed) = MARK_OPEN;
  }
}

enum class BlockShown { WHOLE, CUT, NONE };

// Writes the block of `entry` the job's walk of the libraries of `kind`
// meets first, headed "block in LIBRARY:". A library that cannot be opened
// is passed over, one that cannot be read to its end is told and noted in
// `faults`.
BlockShown WriteBlock(ShowState& state, SymbolKind kind, int32_t entry, FileFaults& faults) {
  const char* wanted = EntryText(entry);
  const int32_t wantedLength = symbolTable.entryLength[entry];
  for (int32_t slot = 0; slot < libraryTable.libraryCount; ++slot) {
    const LibraryName& library = LibrariesOf(kind)[slot];
    const FilePath path = PathOf(state, library.chars, LIBRARY_NAME_LENGTH);
    if (OpenFile(UNIT_INPUT, path, OpenStatus::OLD) != IO_OK) continue;
    bool inBlock = false;
    const IoStatus read = ReadLibraryLines(
        [&](LineRecord& header) {
          if (inBlock) return false;
          const int32_t length = FoldHeaderName(header);
          inBlock = length == wantedLength &&
                    std::memcmp(&header.At(3), wanted, static_cast<size_t>(length)) == 0;
          if (inBlock) {
            std::fprintf(state.out, "block in %.*s:\n",
                         TrimmedLength(library.chars, LIBRARY_NAME_LENGTH), library.chars);
          }
          return true;
        },
        [&](const LineRecord& line) {
          if (inBlock) std::fprintf(state.out, "%.*s\n", CopiedLength(line), line.chars);
          return true;
        });
    CloseFile(UNIT_INPUT);
    if (read > 0) {
      TellFailure(state, "read", path, read);
      NoteFileFault(faults, FileOperation::READ, library.chars, LIBRARY_NAME_LENGTH, read, true);
      // The job never copies a block cut short, nor looks for it again.
      if (inBlock) return BlockShown::CUT;
    }
    if (inBlock) return BlockShown::WHOLE;
  }
  return BlockShown::NONE;
}

// Writes why `entry` of `kind` has no block, as --strict tells it.
void WriteWhyNoBlock(const ShowState& state, SymbolKind kind, int32_t entry,
                     const FileFaults& faults) {
  const JobObserver observer = ObserveMissingSymbols(missing);
  observer.kindCopied(observer.context, kind, 1, 0, 1);
  observer.notFound(observer.context, kind, EntryText(entry), symbolTable.entryLength[entry],
                    nullptr, 0, false);
  ExplainMissingSymbols(missing, faults, state.request.directory);
  std::fprintf(state.out, "no block: ");
  WriteMissingReason(state.out, missing.symbols[0], JobFileName{});
  std::fprintf(state.out, "\n");
}

// The paragraph of symbol `i` for `kind`, whose list holds it. Returns
// false when its block was cut short.
bool WriteParagraph(ShowState& state, int32_t i, SymbolKind kind) {
  LoadKind(state, kind);
  const FoldedSymbol symbol = Fold(state.request.symbols[i]);
  const int32_t entry = LookUpIdentifier(symbol.chars, symbol.length);
  if (entry == 0) return true;  // the list changed since it was looked up
  WriteHeadingLine(state, kind, entry);
  FileFaults faults = {};
  const BlockShown shown = WriteBlock(state, kind, entry, faults);
  if (shown == BlockShown::NONE) WriteWhyNoBlock(state, kind, entry, faults);
  return shown != BlockShown::CUT;
}

// True when the two names are equal, case folded.
bool SameName(const CloseName& a, const CloseName& b) {
  if (a.length != b.length) return false;
  for (int32_t c = 0; c < a.length; ++c) {
    if (FoldCase(a.spelling[c]) != FoldCase(b.spelling[c])) return false;
  }
  return true;
}

void WriteClosest(const ShowState& state, int32_t i) {
  std::fprintf(state.out, "%s: in no master list; ", state.request.symbols[i]);
  const CloseNames& close = closeNames[i];
  if (close.count == 0) {
    std::fprintf(state.out, "no name is close\n");
    return;
  }
  std::fprintf(state.out, "closest:");
  for (int32_t n = 0; n < close.count; ++n) {
    bool again = false;  // both lists hold the name
    for (int32_t m = 0; m < n; ++m) again = again || SameName(close.names[m], close.names[n]);
    if (again) continue;
    std::fprintf(state.out, "%s %.*s", n == 0 ? "" : ",", static_cast<int>(close.names[n].length),
                 close.names[n].spelling);
  }
  std::fprintf(state.out, "\n");
}

}  // namespace

int32_t ShowSymbols(const ShowRequest& request, std::FILE* out, std::FILE* errors) {
  ShowState state = {request, out, errors, {false, false}, -1};
  const int32_t count = request.count < MAX_SHOW_SYMBOLS ? request.count : MAX_SHOW_SYMBOLS;
  for (int32_t i = 0; i < count; ++i) {
    closeNames[i].count = 0;
    inList[i][KindIndex(SymbolKind::FD)] = false;
    inList[i][KindIndex(SymbolKind::FI)] = false;
  }
  // The shorter FI list first: the FD list is then searched for close names
  // only for the symbols neither list holds.
  LookUpKind(state, SymbolKind::FI, count);
  LookUpKind(state, SymbolKind::FD, count);
  int32_t notShown = 0;
  for (int32_t i = 0; i < count; ++i) {
    if (i > 0) std::fprintf(out, "\n");
    bool shown = inList[i][KindIndex(SymbolKind::FD)] || inList[i][KindIndex(SymbolKind::FI)];
    if (!shown) WriteClosest(state, i);
    bool first = true;
    for (const SymbolKind kind : {SymbolKind::FD, SymbolKind::FI}) {
      if (!inList[i][KindIndex(kind)]) continue;
      if (!first) std::fprintf(out, "\n");
      first = false;
      shown = WriteParagraph(state, i, kind) && shown;
    }
    if (!shown) ++notShown;
  }
  return notShown;
}

}  // namespace pk
