// How one step of the extraction job ended, and the files it went on
// without.
#pragma once

#include <cstdint>

#include "extract/job_files.h"
#include "extract/library_table.h"
#include "records/io_status.h"

namespace pk {

enum class StepEnd {
  DONE,                   // the step ran to its end
  INPUT_NOT_OPENED,       // the file the step reads could not be opened
  INPUT_READ_FAILED,      // a read of the file the step reads failed before its end
  OUTPUT_NOT_OPENED,      // the file the step writes could not be opened
  OUTPUT_WRITE_FAILED,    // a line could not be written to the file the step writes
  OUTPUT_NOT_TAKEN_BACK,  // a failed write could not be taken back: the file the step
                          // writes may hold part of it
};

// What a step returns: how it ended and, when that is not DONE, the status of
// the file operation that failed (IO_OK when DONE).
struct StepOutcome {
  StepEnd end;
  IoStatus status;
};

constexpr StepOutcome STEP_DONE = {StepEnd::DONE, IO_OK};

enum class FileOperation { READ, WRITE };

// A file the job went on without in full: a library that a read error ended
// early, an output that a block or a report line could not be written to.
struct FileFault {
  FileOperation operation;
  JobFileName file;         // blank padded; a library's name without its directory
  IoStatus reason;          // the status of the operation that failed
  bool inLibraryDirectory;  // `file` is read from the library directory
};

// Every library slot of both tables, the two declaration files and the report.
constexpr int32_t MAX_FILE_FAULTS = 2 * LIBRARY_SLOTS + 3;

// The faults of one job, one per file, in the order they were met.
struct FileFaults {
  int32_t count;
  FileFault faults[MAX_FILE_FAULTS];
};

// Adds the fault of `file` (`length` characters) unless `faults` holds one
// for that file already: a file is told once, with its first failure.
void NoteFileFault(FileFaults& faults, FileOperation operation, const char* file, int32_t length,
                   IoStatus reason, bool inLibraryDirectory);

}  // namespace pk
