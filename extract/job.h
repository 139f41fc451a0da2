// The extraction job: from a program name to NAME.FIH, NAME.FDH, NAME.FD,
// NAME.FI and the report NAME.PRE, all in the current directory, with the
// master lists and the library files read from the library directory.
#pragma once

#include <cstdint>

#include "extract/job_files.h"
#include "extract/source_scan.h"
#include "records/io_status.h"

namespace pk {

enum class JobEnd {
  COMPLETE,      // all ten phases ran; NAME.PRE is written and closed
  NOT_OPENED,    // `file` could not be opened; later phases did not run
  NOT_READ,      // a read of `file` failed: the list it gives would be cut short
  NOT_WRITTEN,   // a used-symbol list (`file`) could not be written
  LIBRARY_NAME,  // NAME.FD or NAME.FI (`file`) is a library file; nothing was touched
};

struct JobOutcome {
  JobEnd end;
  JobFileName file;         // the file the job ended on, blank when COMPLETE
  IoStatus reason;          // NOT_OPENED, NOT_READ, NOT_WRITTEN: the failed operation's status
  bool inLibraryDirectory;  // `file` is a master list, read from the library directory
};

// How the job finds its source and its library files.
struct JobSettings {
  SourceForm sourceForm;
  char sourceExtension[3];       // the source is NAME.<these three characters>
  const char* libraryDirectory;  // "" for the current directory
  int32_t libraryDirectoryLength;
};

// What the program runs: the fixed-form NAME.FOR, everything in the current
// directory.
constexpr JobSettings PROGRAM_JOB_SETTINGS = {SourceForm::FIXED, {'F', 'O', 'R'}, "", 0};

// Runs the whole job for the 30-character program-name field (the name is the
// text before its first NUL, or all 30 characters): MakeJobFiles, then the
// master lists, both scans, the copying and the report, in that order. The
// first file that cannot be opened, or a used-symbol list that cannot be
// written, ends the job; files the job attached are closed either way. A
// report that cannot be opened, or a file that cannot be closed, ends the
// process with exit code 1 (the record layer's run-time error).
// `settings` name the source (jobFiles.sourceName gets its extension) and
// the library directory; a directory longer than LIBRARY_DIRECTORY_LENGTH
// ends the job before any file is touched: NOT_OPENED on MASTERFI.LIS with
// IO_INVALID_REQUEST.
JobOutcome RunJob(const char* programName, const JobSettings& settings);

// RunJob with PROGRAM_JOB_SETTINGS.
JobOutcome RunJob(const char* programName);

}  // namespace pk
