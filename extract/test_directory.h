// Test support: a fresh scratch directory as the current directory, and
// whole files written and read back byte for byte.
#pragma once

#include <string>
#include <vector>

#include "extract/job_files.h"
#include "records/testing/scratch_directory.h"

namespace pk {

using ScratchDirectory = testing::ScratchDirectory;

// Installs file services that record every name opened and make every write
// whose bytes contain `failMarker` fail with IO_DISK_FULL (none when empty).
// The destructor restores the host's services.
class TracedFileServices {
 public:
  explicit TracedFileServices(const std::string& failMarker);
  ~TracedFileServices();
  TracedFileServices(const TracedFileServices&) = delete;
  TracedFileServices& operator=(const TracedFileServices&) = delete;

  static const std::vector<std::string>& OpenedNames();
};

// A job file name field holding `text`, blank padded.
JobFileName JobName(const char* text);

void WriteWholeFile(const std::string& name, const std::string& bytes);

// The file's bytes, or "<missing>" when it does not exist.
std::string ReadWholeFile(const std::string& name);

bool FileExists(const std::string& name);

// Lines joined with CR LF, each one ended by it.
std::string CrLf(std::initializer_list<const char*> lines);

}  // namespace pk
