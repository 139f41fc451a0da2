#include "extract/step_outcome.h"

namespace pk {

void NoteFileFault(FileFaults& faults, FileOperation operation, const char* file, int32_t length,
                   IoStatus reason, bool inLibraryDirectory) {
  FileFault noted;
  noted.operation = operation;
  AssignText(noted.file, file, length);
  noted.reason = reason;
  noted.inLibraryDirectory = inLibraryDirectory;
  for (int32_t i = 0; i < faults.count; ++i) {
    const FileFault& known = faults.faults[i];
    if (known.inLibraryDirectory == inLibraryDirectory &&
        TextEqual(known.file.chars, JOB_FILE_NAME_LENGTH, noted.file.chars, JOB_FILE_NAME_LENGTH)) {
      return;
    }
  }
  if (faults.count < MAX_FILE_FAULTS) faults.faults[faults.count++] = noted;
}

}  // namespace pk
