#include "batch/batch_options.h"

namespace pk {

// "/?" is a path on POSIX systems, and "-?" no option of their tools.
bool TakesWindowsHelpWords() {
  return false;
}

}  // namespace pk
