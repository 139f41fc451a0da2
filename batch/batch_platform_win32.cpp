#include "batch/batch_options.h"

namespace pk {

// Windows' programs answer "/?" (and often "-?") with their usage.
bool TakesWindowsHelpWords() {
  return true;
}

}  // namespace pk
