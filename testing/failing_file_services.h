// Test support: file services that pass every call to the host's services
// except the k-th call of one kind, which fails with a chosen error.
#pragma once

#include <cstdint>

#include "records/file_services.h"

namespace pk::testing {

// The calls that can be made to fail (`unlock` cannot fail).
enum class FileCall { OPEN, READ, WRITE, TRUNCATE, CLOSE, REMOVE, IDENTIFY, LOCK, EXECUTABLE_PATH };

// Installed for the object's lifetime (one at a time), as TracedFileServices
// is: the `failingCall`-th call (from 1) of kind `call` returns `error`
// instead of doing its work; a failing close still releases the handle.
// Every call counter starts at 0. A `failingCall` of 0 fails nothing and only
// counts. With `after`, once that call has failed every later call of kind
// `after` fails with `error` too (a take-back that cannot be made after a
// failed write). The destructor installs the services installed before.
class FailingFileServices {
 public:
  FailingFileServices(FileCall call, int32_t failingCall, IoStatus error);
  FailingFileServices(FileCall call, int32_t failingCall, IoStatus error, FileCall after);
  ~FailingFileServices();
  FailingFileServices(const FailingFileServices&) = delete;
  FailingFileServices& operator=(const FailingFileServices&) = delete;

 private:
  const FileServices* below_;
};

// How many calls of kind `call` the last FailingFileServices passed on or
// failed, during its lifetime.
int32_t FileCallCount(FileCall call);

}  // namespace pk::testing
