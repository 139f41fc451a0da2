// Test support: file services that record the calls made to them, with the
// name of the file each concerns, and can make chosen writes fail.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "testing/failing_file_services.h"

namespace pk::testing {

struct TracedCall {
  FileCall kind;
  std::string file;  // the name the call was given, or the one its handle was opened with
};

// Installed for the object's lifetime (one at a time): every call is passed
// to the services installed before, and each of a FileCall kind is recorded;
// a write whose bytes contain `failMarker` (none when it is empty) fails with
// IO_DISK_FULL instead, and is recorded too. The destructor installs the
// services that were installed before.
class TracedFileServices {
 public:
  explicit TracedFileServices(const std::string& failMarker = "");
  ~TracedFileServices();
  TracedFileServices(const TracedFileServices&) = delete;
  TracedFileServices& operator=(const TracedFileServices&) = delete;

  // The calls since the install, in order.
  static const std::vector<TracedCall>& Calls();

  // Whether `name` was opened since the install.
  static bool Opened(const std::string& name);
};

// How many of `calls` are of `kind`.
int32_t CallCount(const std::vector<TracedCall>& calls, FileCall kind);

}  // namespace pk::testing
