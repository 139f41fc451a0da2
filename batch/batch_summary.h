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
// not be read to its end", "its block could not be written to NAME.FI",
// "its block in X was not reached: the copying of that file stopped at a
// block that could not be written to NAME.FI"),
// one per missing library file of a kind the program uses ("library file
// <path> is missing"), and one that counts the symbols beyond
// MAX_TOLD_MISSING. Library files are named in `directory`.
void TellMissing(std::FILE* stream, const MissingSymbols& missing, const JobFiles& files,
                 const LibraryDirectory& directory);

// A run-time error that ended the process during the job: a file that could
// not be closed, or NAME.PRE that could not be opened.
struct FatalEnd {
  IoStatus status;
  bool close;        // a close failed; else the open of NAME.PRE
  const char* file;  // as the run-time error names it, `fileLength` characters
  int32_t fileLength;
};

struct BatchSummary {
  const JobFiles* files;
  SourceForm form;
  const LibraryDirectoryChoice* library;
  const LibrarySetVersion* version;
  bool strict;
  const JobOutcome* outcome;  // the job's outcome, or as far as it came (`fatal`)
  const MissingSymbols* missing;
  int exitCode;
  const FatalEnd* fatal;  // nullptr unless a run-time error ends the process
};

// Writes the JSON summary of README's "Batch driver" to standard output, one
// object ending in a newline, through WriteStandardOutput. After a fatal end
// it tells no symbol (nothing more is read then). Returns false when
// standard output could not take it.
bool WriteJsonSummary(const BatchSummary& summary);

// Writes all `count` bytes to standard output, making a write that a signal
// interrupted again. Returns false when they cannot be written (a full
// disk). (batch_platform_posix.cpp, batch_platform_win32.cpp)
bool WriteStandardOutput(const char* bytes, int32_t count);

}  // namespace pk
