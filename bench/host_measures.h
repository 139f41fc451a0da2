// What the benchmark measures of the host itself, without the record layer:
// reading files with plain OS reads, and the process's peak memory. One back
// end per platform (host_measures_posix.cpp, host_measures_win32.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pk {

// Reads the file `path` to its end with plain OS reads of `size` bytes into
// `buffer`, each over the one before. Returns the bytes read, or -1 when the
// file cannot be opened or read.
int64_t ReadFilePlainly(const std::string& path, char* buffer, int32_t size);

// The wall time, in seconds, of the shell pipeline `cat FILES... | wc -c`
// run once on `files`: the plain read as the shell's tools make it, process
// starts included. -1 when it fails or the platform has no such shell.
double TimeCatPipeline(const std::vector<std::string>& files);

// The most memory this process has held resident so far, in KB; -1 when the
// platform cannot tell.
int64_t PeakMemoryKb();

}  // namespace pk
