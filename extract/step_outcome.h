// How one step of the extraction job ended.
#pragma once

namespace pk {

enum class StepOutcome {
  DONE,                 // the step ran to its end (read errors count as the end of a file)
  INPUT_NOT_OPENED,     // the file the step reads could not be opened
  OUTPUT_NOT_OPENED,    // the file the step writes could not be opened
  OUTPUT_WRITE_FAILED,  // a line could not be written to the file the step writes
};

}  // namespace pk
