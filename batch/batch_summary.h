// What pareskit-batch tells after a job beyond its exit code: the lines of
// --strict on standard error and the --json summary on standard output.
#pragma once

#include <cstdio>

#include "batch/batch_setup.h"
#include "batch/missing_symbols.h"
#include "extract/job.h"

namespace pk {

// Exit codes of the batch driver.
constexpr int EXIT_COMPLETE = 0;
constexpr int EXIT_FATAL = 1;
constexpr int EXIT_ENDED_EARLY = 2;
constexpr int EXIT_DEGRADED = 3;
constexpr int EXIT_MISSING = 4;
constexpr int EXIT_USAGE = 64;

constexpr char LIBRARY_DIR_VARIABLE[] = "PARESKIT_LIBRARY_DIR";

// A file of the job as messages name it: in `directory`, the job's library
// directory, or in the current one; blanks trimmed. Returns its length.
int PathOf(const JobFileName& file, bool inLibraryDirectory, const LibraryDirectory& directory,
           FilePath& path);

// How the library directory was chosen, for people ("--library-dir", "the
// installed library set (<directory of pareskit-batch>/../share/pareskit)",
// ...) and as a JSON word ("option", "current", "environment",
// "executable", "installed", "fallback").
const char* ChosenByText(LibraryDirectorySource source);
const char* ChosenByWord(LibraryDirectorySource source);

// Writes why `symbol` is missing to `stream`, no line end: "no block in any
// library file", "listed without a block in USER32.FI: not translated:
// variable argument list", "its library file X is missing", "its library
// file X could not be read to its end" or "its block could not be written to
// <output>".
void WriteMissingReason(std::FILE* stream, const MissingSymbol& symbol, const JobFileName& output);

// Writes one line per missing symbol to `stream`:
// "pareskit-batch: FI symbol wsprintfA not found: listed without a block in
// USER32.FI: not translated: variable argument list" (or "no block in any
// library file", "its library file X is missing", "its library file X could
// not be read to its end", "its block could not be written to NAME.FI"),
// one per missing library file of a kind the program uses ("library file
// <path> is missing"), and one that counts the symbols beyond
// MAX_TOLD_MISSING. Library files are named in `directory`.
void TellMissing(std::FILE* stream, const MissingSymbols& missing, const JobFiles& files,
                 const LibraryDirectory& directory);

struct BatchSummary {
  const JobFiles* files;
  SourceForm form;
  const LibraryDirectoryChoice* library;
  const LibrarySetVersion* version;
  bool strict;
  const JobOutcome* outcome;
  const MissingSymbols* missing;
  int exitCode;
};

// Writes the JSON summary of README's "Batch driver" to `stream`, one
// object ending in a newline.
void WriteJsonSummary(std::FILE* stream, const BatchSummary& summary);

}  // namespace pk
