#include "testing/traced_file_services.h"

#include <map>

#include "records/file_services.h"

namespace pk::testing {

namespace {

const FileServices* below = nullptr;
std::string failMarker;
std::vector<TracedCall> calls;
std::map<OsHandle, std::string> handleNames;

std::string NameOf(OsHandle handle) {
  const auto found = handleNames.find(handle);
  return found == handleNames.end() ? "" : found->second;
}

IoStatus Open(const char* name, OsAccess access, OsCreation creation, OsHandle* handle) {
  calls.push_back({FileCall::OPEN, name});
  const IoStatus status = below->open(name, access, creation, handle);
  if (status == IO_OK) handleNames[*handle] = name;
  return status;
}

IoStatus Read(OsHandle handle, void* buffer, int32_t capacity, int32_t* received) {
  calls.push_back({FileCall::READ, NameOf(handle)});
  return below->read(handle, buffer, capacity, received);
}

IoStatus Write(OsHandle handle, const void* bytes, int32_t count) {
  calls.push_back({FileCall::WRITE, NameOf(handle)});
  const std::string text(static_cast<const char*>(bytes), static_cast<size_t>(count));
  if (!failMarker.empty() && text.find(failMarker) != std::string::npos) return IO_DISK_FULL;
  return below->write(handle, bytes, count);
}

IoStatus Truncate(OsHandle handle, int64_t length) {
  calls.push_back({FileCall::TRUNCATE, NameOf(handle)});
  return below->truncate(handle, length);
}

IoStatus Close(OsHandle handle) {
  calls.push_back({FileCall::CLOSE, NameOf(handle)});
  return below->close(handle);
}

IoStatus Remove(const char* name) {
  calls.push_back({FileCall::REMOVE, name});
  return below->remove(name);
}

IoStatus Identify(const char* name, FileIdentity* identity) {
  calls.push_back({FileCall::IDENTIFY, name});
  return below->identify(name, identity);
}

IoStatus Lock(const char* name, OsHandle* handle, bool* created) {
  calls.push_back({FileCall::LOCK, name});
  const IoStatus status = below->lock(name, handle, created);
  if (status == IO_OK) handleNames[*handle] = name;
  return status;
}

void Unlock(OsHandle handle) {
  below->unlock(handle);
}

IoStatus LockNameLeft(char* name) {
  return below->lockNameLeft(name);
}

void RemoveOnInterrupt(const char* name) {
  below->removeOnInterrupt(name);
}

void WriteStandardError(const char* bytes, int32_t count) {
  below->writeStandardError(bytes, count);
}

IoStatus ExecutablePath(char* buffer, int32_t capacity, int32_t* length) {
  calls.push_back({FileCall::EXECUTABLE_PATH, ""});
  return below->executablePath(buffer, capacity, length);
}

const FileServices kTracedServices = {Open,
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

TracedFileServices::TracedFileServices(const std::string& marker) {
  below = &CurrentFileServices();
  failMarker = marker;
  calls.clear();
  handleNames.clear();
  UseFileServices(&kTracedServices);
}

TracedFileServices::~TracedFileServices() {
  UseFileServices(below);
}

const std::vector<TracedCall>& TracedFileServices::Calls() {
  return calls;
}

bool TracedFileServices::Opened(const std::string& name) {
  for (const TracedCall& call : calls) {
    if (call.kind == FileCall::OPEN && call.file == name) return true;
  }
  return false;
}

int32_t CallCount(const std::vector<TracedCall>& calls, FileCall kind) {
  int32_t count = 0;
  for (const TracedCall& call : calls) count += call.kind == kind ? 1 : 0;
  return count;
}

}  // namespace pk::testing
