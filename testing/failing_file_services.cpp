#include "testing/failing_file_services.h"

namespace pk::testing {

namespace {

constexpr int kKinds = 9;
int32_t counts[kKinds];
FileCall failingKind = FileCall::OPEN;
int32_t failingNumber = 0;
IoStatus failingError = IO_OK;
bool failingAfter = false;  // every call of afterKind fails once the chosen call has
FileCall afterKind = FileCall::OPEN;
bool failed = false;

// Counts the call and tells whether it is one to fail.
bool CountAndCheck(FileCall call) {
  const int32_t number = ++counts[static_cast<int>(call)];
  if (failed && failingAfter && call == afterKind) return true;
  if (call != failingKind || number != failingNumber) return false;
  failed = true;
  return true;
}

IoStatus Open(const char* name, OsAccess access, OsCreation creation, OsHandle* handle) {
  if (CountAndCheck(FileCall::OPEN)) return failingError;
  return HostFileServices().open(name, access, creation, handle);
}

IoStatus Read(OsHandle handle, void* buffer, int32_t capacity, int32_t* received) {
  if (CountAndCheck(FileCall::READ)) {
    *received = 0;
    return failingError;
  }
  return HostFileServices().read(handle, buffer, capacity, received);
}

IoStatus Write(OsHandle handle, const void* bytes, int32_t count) {
  if (CountAndCheck(FileCall::WRITE)) return failingError;
  return HostFileServices().write(handle, bytes, count);
}

IoStatus Truncate(OsHandle handle, int64_t length) {
  if (CountAndCheck(FileCall::TRUNCATE)) return failingError;
  return HostFileServices().truncate(handle, length);
}

IoStatus Close(OsHandle handle) {
  const IoStatus status = HostFileServices().close(handle);
  if (CountAndCheck(FileCall::CLOSE)) return failingError;
  return status;
}

IoStatus Remove(const char* name) {
  if (CountAndCheck(FileCall::REMOVE)) return failingError;
  return HostFileServices().remove(name);
}

IoStatus Identify(const char* name, FileIdentity* identity) {
  if (CountAndCheck(FileCall::IDENTIFY)) return failingError;
  return HostFileServices().identify(name, identity);
}

IoStatus Lock(const char* name, OsHandle* handle, bool* created) {
  if (CountAndCheck(FileCall::LOCK)) return failingError;
  return HostFileServices().lock(name, handle, created);
}

void Unlock(OsHandle handle) {
  HostFileServices().unlock(handle);
}

IoStatus LockNameLeft(char* name) {
  return HostFileServices().lockNameLeft(name);
}

void RemoveOnInterrupt(const char* name) {
  HostFileServices().removeOnInterrupt(name);
}

void WriteStandardError(const char* bytes, int32_t count) {
  HostFileServices().writeStandardError(bytes, count);
}

IoStatus ExecutablePath(char* buffer, int32_t capacity, int32_t* length) {
  if (CountAndCheck(FileCall::EXECUTABLE_PATH)) return failingError;
  return HostFileServices().executablePath(buffer, capacity, length);
}

const FileServices kFailingServices = {Open,
                                       Read,
                                       Write,
                                       Truncate,
                                       Close,
                                       Remove,
                                       Identify,
                                       Lock,
                                       Unlock,
                                       LockNameLeft,
                                       RemoveOnInterrupt,
                                       WriteStandardError,
                                       ExecutablePath};

}  // namespace

FailingFileServices::FailingFileServices(FileCall call, int32_t failingCall, IoStatus error)
    : below_(&CurrentFileServices()) {
  for (int32_t& count : counts) count = 0;
  failingKind = call;
  failingNumber = failingCall;
  failingError = error;
  failingAfter = false;
  failed = false;
  UseFileServices(&kFailingServices);
}

FailingFileServices::FailingFileServices(FileCall call, int32_t failingCall, IoStatus error,
                                         FileCall after)
    : FailingFileServices(call, failingCall, error) {
  failingAfter = true;
  afterKind = after;
}

FailingFileServices::~FailingFileServices() {
  UseFileServices(below_);
}

int32_t FileCallCount(FileCall call) {
  return counts[static_cast<int>(call)];
}

}  // namespace pk::testing
