// How one step of the extraction job ended.
#pragma once

#include "records/io_status.h"

namespace pk {

enum class StepOutcome {
  DONE,                 // the step ran to its end
  INPUT_NOT_OPENED,     // the file the step reads could not be opened
  INPUT_READ_FAILED,    // a read of the file the step reads failed before its end
  OUTPUT_NOT_OPENED,    // the file the step writes could not be opened
  OUTPUT_WRITE_FAILED,  // a line could not be written to the file the step writes
};

// Why the last step that ended other than DONE did so: the status of the file
// operation that failed. A step that ends DONE leaves it as it was.
inline IoStatus stepFailure = IO_OK;

// Records `status` in stepFailure and returns `outcome`.
inline StepOutcome StepFailed(StepOutcome outcome, IoStatus status) {
  stepFailure = status;
  return outcome;
}

}  // namespace pk
