// How one step of the extraction job ended, and the files it went on
// without.
#pragma once

#include <cstdint>

#include "extract/job_files.h"
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

// Every library slot of both tables (2 x 20), the two declaration files and
// the report. The slot count's header is not included: it brings in
// record_file.h, whose Disposition::DELETE a <windows.h> macro would replace
// where the main window includes job.h; declaration_copy.cpp checks the sum.
constexpr int32_t MAX_FILE_FAULTS = 43;

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
