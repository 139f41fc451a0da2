// Test support: file services that pass every call to the host's services
// except the k-th call of one kind, which fails with a chosen error.
#pragma once

#include <cstdint>

#include "records/file_services.h"

namespace pk::testing {

enum class FileCall { OPEN, READ, WRITE, TRUNCATE, CLOSE, REMOVE, EXECUTABLE_PATH };

// Installs the failing services: the `failingCall`-th call (from 1) of kind
// `call` returns `error` instead of doing its work; a failing close still
// releases the handle. Every call counter starts at 0. A `failingCall` of 0
// fails nothing and only counts.
void InstallFailingFileServices(FileCall call, int32_t failingCall, IoStatus error);

// Restores the host's services.
void RestoreHostFileServices();

// How many calls of kind `call` were made since the install.
int32_t FileCallCount(FileCall call);

}  // namespace pk::testing
