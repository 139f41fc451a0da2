// Test support: files held in memory and served to the record layer
// through its file-services seam, so a fuzz input becomes a file without
// touching the disk and every run starts from a known set of files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "records/file_services.h"

namespace pk::testing {

// Installed for the object's lifetime (one at a time), as TracedFileServices
// is: the in-memory services, with no files and no open handles, installed
// after every unit the record layer still holds is closed. The destructor
// closes the units opened on them and installs the services installed
// before.
class MemoryFiles {
 public:
  MemoryFiles();
  ~MemoryFiles();
  MemoryFiles(const MemoryFiles&) = delete;
  MemoryFiles& operator=(const MemoryFiles&) = delete;

 private:
  const FileServices* below_;
};

// Creates or replaces the file `name` with `size` bytes.
void PutMemoryFile(const std::string& name, const uint8_t* bytes, size_t size);
void PutMemoryFile(const std::string& name, const std::string& bytes);

// The bytes of `name`; false (and `bytes` unchanged) when there is no such file.
bool GetMemoryFile(const std::string& name, std::string* bytes);

}  // namespace pk::testing
