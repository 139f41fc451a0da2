// The extraction job: from a program name to NAME.FIH, NAME.FDH, NAME.FD,
// NAME.FI and the report NAME.PRE, all in the current directory, with the
// master lists and the library files read from the library directory.
#pragma once

#include <cstdint>

#include "extract/job_files.h"
#include "extract/source_scan.h"
#include "extract/step_outcome.h"
#include "records/file_services.h"
#include "records/io_status.h"

namespace pk {

enum class JobEnd {
  COMPLETE,      // all ten phases ran; NAME.PRE is written and closed
  NOT_OPENED,    // `file` could not be opened; later phases did not run. With
                 // IO_DANGLING_LINK: `file` is a link that leads to no file;
                 // nothing was written
  NOT_READ,      // a read of `file` failed: the list it gives would be cut short
  NOT_WRITTEN,   // `file` could not be written: a used-symbol list, or an output or
                 // the report whose failed write could not be taken back
  LIBRARY_NAME,  // NAME.FD or NAME.FI (`file`) is a library file; nothing was touched
  LOCKED,        // another job holds the lock of NAME.PRE (`file`); nothing was written
  SAME_FILE,     // `file`, which the job writes, is the same file as `sameFile`, which
                 // it reads or writes too; nothing was written
};

struct JobOutcome {
  JobEnd end;
  JobFileName file;         // the file the job ended on, blank when COMPLETE
  IoStatus reason;          // NOT_OPENED, NOT_READ, NOT_WRITTEN, LOCKED: the failed operation's
                            // status
  bool inLibraryDirectory;  // `file` is a master list, read from the library directory
  JobFileName sameFile;     // SAME_FILE: the file's other name
  bool sameFileInLibraryDirectory;
  // NOT_WRITTEN: a failed write could not be taken back either, so `file`
  // may end in part of a line (or of a block).
  bool fileIncomplete;
  // The files the job went on without in full, before it completed or ended:
  // a library a read error ended early, NAME.FD or NAME.FI when a block could
  // not be written, NAME.PRE when a line could not be written. Each such run
  // keeps its specified outputs; only its complete runs have none.
  FileFaults faults;
  // The name the lock made NAME.PRE under first (NAME.PRE~<number>), left
  // because it could not be removed, even at the job's end: a second name of
  // NAME.PRE, or an empty file. `lockNameLeftReason` is the error of its
  // last removal, IO_OK when no such name is left (`lockNameLeft` is then
  // empty).
  char lockNameLeft[MAX_MADE_LOCK_NAME + 1];
  IoStatus lockNameLeftReason;
};

enum class SymbolKind { FD, FI };

// Who is told what the copying of each kind found, once its blocks are
// copied and before its report section is written: first kindCopied with
// the counts the report gives (symbols specified, added because another
// block needs them, not found), then libraryCutShort for every library
// (the slot of its table) whose copying a block that could not be written
// stopped, so that the blocks after it there were not met, then notFound for
// every word of the needed list not found, in list order (`word` is the
// folded name; `neededBy` the entry it was added for, `neededByLength` 0
// when none; `notWritten` tells a block that could not be written from one
// not met).
struct JobObserver {
  void* context;
  void (*kindCopied)(void* context, SymbolKind kind, int32_t specifiedCount, int32_t addedCount,
                     int32_t notFoundCount);
  void (*libraryCutShort)(void* context, SymbolKind kind, int32_t slot);
  void (*notFound)(void* context, SymbolKind kind, const char* word, int32_t length,
                   const char* neededBy, int32_t neededByLength, bool notWritten);
};

// How the job finds its source and its library files.
struct JobSettings {
  SourceForm sourceForm;
  char sourceExtension[3];       // the source is NAME.<these three characters>
  const char* libraryDirectory;  // "" for the current directory
  int32_t libraryDirectoryLength;
  const JobObserver* observer = nullptr;  // nobody is told when nullptr
};

// What the program runs: the fixed-form NAME.FOR, everything in the current
// directory.
constexpr JobSettings PROGRAM_JOB_SETTINGS = {SourceForm::FIXED, {'F', 'O', 'R'}, "", 0};

// Runs the whole job for the 30-character program-name field (the name is the
// text before its first NUL, or all 30 characters): MakeJobFiles, then the
// master lists, both scans, the copying and the report, in that order.
// `settings` name the source (its extension) and the library directory; a
// directory longer than LIBRARY_DIRECTORY_LENGTH ends the job before any file
// is touched: NOT_OPENED on MASTERFI.LIS with IO_INVALID_REQUEST. A program
// name that makes NAME.FD or NAME.FI a library name ends it next
// (LIBRARY_NAME).
// Before anything is written the job takes the lock of NAME.PRE (creating it
// when missing; TakeJobLock), so that two jobs for one program in one
// directory never run at once: held by another, it ends the job (LOCKED);
// NAME.PRE a link that leads to no file ends it (NOT_OPENED, with
// IO_DANGLING_LINK); when NAME.PRE cannot even be opened, the job goes on
// without the lock and meets that file's fault where it always did. Next,
// every file of the job (master lists, source, used lists, declaration
// files, report, the 26 libraries) is looked up by identity: a link that
// leads to no file ends the job (NOT_OPENED, IO_DANGLING_LINK: the job would
// make the file it leads to, perhaps under an input's name, or read a file
// it made), and so do two names of one file among them, one of them written
// by the job (SAME_FILE). A file whose identity cannot be learnt otherwise (a
// missing one, or the query fails) is taken for distinct from all others.
// The first file that cannot be opened, a used-symbol list that cannot be
// written, or a failed write that cannot be taken back ends the job. A
// NAME.PRE the lock created is removed again at every end before the report
// is opened: an early end, the process's end on a fatal file error, an
// interrupt. Files the job attached are closed and the lock is released
// whichever way it ends. A report that cannot be opened, or a file that
// cannot be closed, ends the process with exit code 1 (the record layer's
// run-time error; NAME.PRE stays only once the report was opened).
JobOutcome RunJob(const char* programName, const JobSettings& settings);

// RunJob with PROGRAM_JOB_SETTINGS.
JobOutcome RunJob(const char* programName);

// The outcome of the job RunJob is running, as far as it has come (`end`
// COMPLETE until it ends otherwise, the files it went on without so far):
// what a watcher of a run-time error that ends the process can tell of it.
// After RunJob, its outcome.
const JobOutcome& JobOutcomeSoFar();

// The job of the program's job command: RunJob with PROGRAM_JOB_SETTINGS,
// whose outcome only NAME.PRE tells. The program opens NAME.PRE without a
// status, so another job holding its lock, or NAME.PRE a link that leads to
// no file, is that open failing: the process ends with exit code 1 and the
// run-time error "OPEN(NAME.PRE)" (IO_FILE_LOCKED, IO_DANGLING_LINK). Every
// other end returns.
void RunProgramJob(const char* programName);

}  // namespace pk
