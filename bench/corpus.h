// A reproducible benchmark corpus for the extraction job: two master lists,
// a fixed-form source and the thirteen FD and FI libraries, all generated
// from a fixed seed so every run measures the same bytes.
#pragma once

#include <cstdint>
#include <string>

#include "extract/library_table.h"

namespace pk {

struct CorpusShape {
  int32_t symbolsPerKind;  // master-list entries and library blocks of each kind
  int32_t listedPerKind;   // how many of them the master lists name (the first ones)
  int32_t usedPerKind;     // how many distinct symbols of each kind the source calls
  int32_t sourceLines;     // lines of the source program
};

constexpr char BENCH_PROGRAM[] = "BENCH";

// The file name in a library table slot, without its blanks.
std::string LibraryFileName(const LibraryName& slot);

// Writes the corpus into `directory` (created when missing), replacing what
// is there: MASTERFI.LIS, MASTERFD.LIS, BENCH.FOR and USER32.FD ... ADVAPI32.FI.
// Returns false when a file cannot be written.
bool GenerateCorpus(const std::string& directory, const CorpusShape& shape);

// Makes the source and the libraries in `directory` the very files of
// `model` (hard links, or copies where links cannot be made), so that two
// corpora that differ only in their master lists also share the page cache
// for the rest. Returns false when a file cannot be replaced.
bool ShareSourceAndLibraries(const std::string& model, const std::string& directory);

}  // namespace pk
