#include <errno.h>
#include <unistd.h>

#include "batch/batch_options.h"
#include "batch/batch_summary.h"

namespace pk {

// "/?" is a path on POSIX systems, and "-?" no option of their tools.
bool TakesWindowsHelpWords() {
  return false;
}

bool WriteStandardOutput(const char* bytes, int32_t count) {
  while (count > 0) {
    const ssize_t put = ::write(1, bytes, static_cast<size_t>(count));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    count -= static_cast<int32_t>(put);
  }
  return true;
}

}  // namespace pk
