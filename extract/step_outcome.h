// How one step of the extraction job ended.
#pragma once

namespace pk {

enum class StepOutcome {
  DONE,                 // the step ran to its end
  INPUT_NOT_OPENED,     // the file the step reads could not be opened
  INPUT_READ_FAILED,    // a read of the file the step reads failed before its end
  OUTPUT_NOT_OPENED,    // the file the step writes could not be opened
  OUTPUT_WRITE_FAILED,  // a line could not be written to the file the step writes
};

}  // namespace pk
