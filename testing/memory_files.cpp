#include "testing/memory_files.h"

#include <map>

#include "records/file_services.h"
#include "records/record_file.h"

namespace pk::testing {

namespace {

struct OpenMemoryFile {
  bool open;
  std::string name;
  size_t position;
  OsAccess access;
};

// The record layer holds at most 61 files; a few spare handles cover files
// opened while another one is being replaced on the same unit.
constexpr int kHandleCount = 64;

std::map<std::string, std::string> files;
OpenMemoryFile handles[kHandleCount];

OpenMemoryFile* Lookup(OsHandle handle) {
  if (handle < 0 || handle >= kHandleCount || !handles[handle].open) return nullptr;
  return &handles[handle];
}

IoStatus Open(const char* name, OsAccess access, OsCreation creation, OsHandle* handle) {
  const auto found = files.find(name);
  if (creation == OsCreation::MUST_EXIST && found == files.end()) return IO_FILE_NOT_FOUND;
  for (int i = 0; i < kHandleCount; ++i) {
    if (handles[i].open) continue;
    if (found == files.end()) files[name];
    handles[i] = {true, name, 0, access};
    *handle = i;
    return IO_OK;
  }
  return IO_NO_HANDLES;
}

IoStatus Read(OsHandle handle, void* buffer, int32_t capacity, int32_t* received) {
  *received = 0;
  OpenMemoryFile* file = Lookup(handle);
  if (file == nullptr || file->access == OsAccess::WRITE_ONLY) return IO_READ_FAILED;
  const std::string& bytes = files[file->name];
  if (file->position >= bytes.size()) return IO_OK;
  size_t count = bytes.size() - file->position;
  if (count > static_cast<size_t>(capacity)) count = static_cast<size_t>(capacity);
  bytes.copy(static_cast<char*>(buffer), count, file->position);
  file->position += count;
  *received = static_cast<int32_t>(count);
  return IO_OK;
}

IoStatus Write(OsHandle handle, const void* bytes, int32_t count) {
  OpenMemoryFile* file = Lookup(handle);
  if (file == nullptr || file->access == OsAccess::READ_ONLY) return IO_WRITE_REFUSED;
  std::string& content = files[file->name];
  if (content.size() < file->position) content.resize(file->position);
  content.replace(file->position, static_cast<size_t>(count), static_cast<const char*>(bytes),
                  static_cast<size_t>(count));
  file->position += static_cast<size_t>(count);
  return IO_OK;
}

IoStatus Truncate(OsHandle handle, int64_t length) {
  OpenMemoryFile* file = Lookup(handle);
  if (file == nullptr || file->access == OsAccess::READ_ONLY || length < 0) {
    return IO_WRITE_REFUSED;
  }
  files[file->name].resize(static_cast<size_t>(length));
  file->position = static_cast<size_t>(length);
  return IO_OK;
}

IoStatus Close(OsHandle handle) {
  OpenMemoryFile* file = Lookup(handle);
  if (file == nullptr) return IO_INVALID_REQUEST;
  file->open = false;
  return IO_OK;
}

IoStatus Remove(const char* name) {
  return files.erase(name) == 1 ? IO_OK : IO_FILE_NOT_FOUND;
}

// A memory file is told apart by the place of its bytes.
IoStatus Identify(const char* name, FileIdentity* identity) {
  const auto found = files.find(name);
  if (found == files.end()) return IO_FILE_NOT_FOUND;
  *identity = {0, reinterpret_cast<uintptr_t>(&found->second)};
  return IO_OK;
}

// One process owns the memory files: every lock is granted.
IoStatus Lock(const char* name, OsHandle* handle, bool* created) {
  const bool missing = files.count(name) == 0;
  const IoStatus opened = Open(name, OsAccess::READ_ONLY, OsCreation::EXISTING_OR_NEW, handle);
  if (opened == IO_OK) *created = missing;
  return opened;
}

void Unlock(OsHandle handle) {
  Close(handle);
}

// A memory file is made under its own name only.
IoStatus LockNameLeft(char*) {
  return IO_OK;
}

// No interrupt reaches the memory files.
void RemoveOnInterrupt(const char*) {}

void WriteStandardError(const char*, int32_t) {}

// The memory files belong to no program file.
IoStatus ExecutablePath(char*, int32_t, int32_t*) {
  return IO_FILE_NOT_FOUND;
}

const FileServices kMemoryServices = {Open,
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

MemoryFiles::MemoryFiles() : below_(&CurrentFileServices()) {
  CloseAllFiles();
  UseFileServices(&kMemoryServices);
  for (OpenMemoryFile& handle : handles) handle = OpenMemoryFile{};
  files.clear();
}

MemoryFiles::~MemoryFiles() {
  CloseAllFiles();
  UseFileServices(below_);
}

void PutMemoryFile(const std::string& name, const uint8_t* bytes, size_t size) {
  files[name].assign(reinterpret_cast<const char*>(bytes), size);
}

void PutMemoryFile(const std::string& name, const std::string& bytes) {
  files[name] = bytes;
}

bool GetMemoryFile(const std::string& name, std::string* bytes) {
  const auto found = files.find(name);
  if (found == files.end()) return false;
  *bytes = found->second;
  return true;
}

}  // namespace pk::testing
