// What the benchmark measures of the host itself, without the record layer:
// reading files with plain OS reads, and the process's peak memory. One back
// end per platform (host_measures_posix.cpp, host_measures_win32.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pk {

// The size of every plain OS read.
constexpr int32_t PLAIN_READ_SIZE = 64 * 1024;

// Reads each of `paths` to its end with plain OS reads of PLAIN_READ_SIZE
// bytes into one buffer. Returns the bytes read in all, or -1 when a file
// cannot be opened or read.
int64_t ReadFilesPlainly(const std::vector<std::string>& paths);

// The most memory this process has held resident so far, in KB; -1 when the
// platform cannot tell.
int64_t PeakMemoryKb();

}  // namespace pk
