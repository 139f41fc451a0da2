// Test support: file services that pass every call to the host's services
// except the k-th call of one kind, which fails with a chosen error.
#pragma once

#include <cstdint>

#include "records/file_services.h"

namespace pk::testing {

// The calls that can be made to fail (`unlock` cannot fail).
enum class FileCall { OPEN, READ, WRITE, TRUNCATE, CLOSE, REMOVE, IDENTIFY, LOCK, EXECUTABLE_PATH };

// Installs the failing services: the `failingCall`-th call (from 1) of kind
// `call` returns `error` instead of doing its work; a failing close still
// releases the handle. Every call counter starts at 0. A `failingCall` of 0
// fails nothing and only counts.
void InstallFailingFileServices(FileCall call, int32_t failingCall, IoStatus error);

// The same, and once that call has failed every later call of kind `after`
// fails with `error` too (a take-back that cannot be made after a failed write).
void InstallFailingFileServicesThen(FileCall call, int32_t failingCall, IoStatus error,
                                    FileCall after);

// Restores the host's services.
void RestoreHostFileServices();

// How many calls of kind `call` were made since the install.
int32_t FileCallCount(FileCall call);

}  // namespace pk::testing
