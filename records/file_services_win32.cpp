// Win32 file services: CreateFileA/ReadFile/WriteFile/SetEndOfFile/
// CloseHandle/DeleteFileA, GetFileInformationByHandle for a file's identity,
// LockFileEx for a lock, GetModuleFileNameA (KERNEL32).
#include <windows.h>

#include "records/file_services.h"

namespace pk {

namespace {

enum class Call { OPEN, READ, WRITE, LOCK, OTHER };

// The one place where a GetLastError() value becomes an error number. An open
// that meets an input that is not a disk file (a pipe, a device such as NUL)
// reports it as ERROR_BAD_FILE_TYPE.
IoStatus StatusFromLastError(DWORD error, Call call) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return call == Call::OPEN || call == Call::LOCK ? IO_FILE_NOT_FOUND : IO_INVALID_REQUEST;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return IO_FILE_EXISTS;
    case ERROR_LOCK_VIOLATION:
      if (call == Call::LOCK) return IO_FILE_LOCKED;
      return call == Call::WRITE ? IO_WRITE_REFUSED : IO_ACCESS_DENIED;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_BAD_FILE_TYPE:
      return call == Call::WRITE ? IO_WRITE_REFUSED : IO_ACCESS_DENIED;
    case ERROR_TOO_MANY_OPEN_FILES:
      return IO_NO_HANDLES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return IO_DISK_FULL;
    default:
      if (call == Call::READ) return IO_READ_FAILED;
      if (call == Call::WRITE) return IO_WRITE_REFUSED;
      return IO_INVALID_REQUEST;
  }
}

HANDLE ToHandle(OsHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The identity of an open handle; false when the system does not tell it.
bool HandleIdentity(HANDLE handle, FileIdentity* identity) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  identity->volume = info.dwVolumeSerialNumber;
  identity->index = (uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  return true;
}

IoStatus Win32Open(const char* name, OsAccess access, OsCreation creation, OsHandle* handle) {
  DWORD desired = 0;
  switch (access) {
    case OsAccess::READ_WRITE:
      desired = GENERIC_READ | GENERIC_WRITE;
      break;
    case OsAccess::READ_ONLY:
      desired = GENERIC_READ;
      break;
    case OsAccess::WRITE_ONLY:
      desired = GENERIC_WRITE;
      break;
  }
  DWORD disposition = OPEN_EXISTING;
  switch (creation) {
    case OsCreation::MUST_EXIST:
      disposition = OPEN_EXISTING;
      break;
    case OsCreation::MUST_NOT_EXIST:
      disposition = CREATE_NEW;
      break;
    case OsCreation::EXISTING_OR_NEW:
      disposition = OPEN_ALWAYS;
      break;
  }
  HANDLE opened =
      CreateFileA(name, desired, SHARE_ALL, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return StatusFromLastError(GetLastError(), Call::OPEN);
  // An input must be a disk file: a pipe or a device (CON, NUL) would make a
  // read wait, or never end.
  if (creation == OsCreation::MUST_EXIST && GetFileType(opened) != FILE_TYPE_DISK) {
    CloseHandle(opened);
    return StatusFromLastError(ERROR_BAD_FILE_TYPE, Call::OPEN);
  }
  *handle = reinterpret_cast<OsHandle>(opened);
  return IO_OK;
}

IoStatus Win32Read(OsHandle handle, void* buffer, int32_t capacity, int32_t* received) {
  DWORD got = 0;
  if (!ReadFile(ToHandle(handle), buffer, static_cast<DWORD>(capacity), &got, nullptr)) {
    const DWORD error = GetLastError();
    *received = 0;
    // A pipe whose writer has gone reads as the end of the file.
    if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE) return IO_OK;
    return StatusFromLastError(error, Call::READ);
  }
  *received = static_cast<int32_t>(got);
  return IO_OK;
}

IoStatus Win32Write(OsHandle handle, const void* bytes, int32_t count) {
  const char* next = static_cast<const char*>(bytes);
  while (count > 0) {
    DWORD put = 0;
    if (!WriteFile(ToHandle(handle), next, static_cast<DWORD>(count), &put, nullptr)) {
      return StatusFromLastError(GetLastError(), Call::WRITE);
    }
    if (put == 0) return IO_DISK_FULL;
    next += put;
    count -= static_cast<int32_t>(put);
  }
  return IO_OK;
}

IoStatus Win32Truncate(OsHandle handle, int64_t length) {
  LARGE_INTEGER position;
  position.QuadPart = length;
  if (!SetFilePointerEx(ToHandle(handle), position, nullptr, FILE_BEGIN) ||
      !SetEndOfFile(ToHandle(handle))) {
    return StatusFromLastError(GetLastError(), Call::WRITE);
  }
  return IO_OK;
}

IoStatus Win32Close(OsHandle handle) {
  if (!CloseHandle(ToHandle(handle))) return StatusFromLastError(GetLastError(), Call::WRITE);
  return IO_OK;
}

IoStatus Win32Remove(const char* name) {
  if (!DeleteFileA(name)) return StatusFromLastError(GetLastError(), Call::OTHER);
  return IO_OK;
}

// Opens `name` for its attributes only (no read or write access; a directory
// too).
HANDLE OpenForIdentity(const char* name) {
  return CreateFileA(name, 0, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                     nullptr);
}

IoStatus Win32Identify(const char* name, FileIdentity* identity) {
  HANDLE opened = OpenForIdentity(name);
  if (opened == INVALID_HANDLE_VALUE) return StatusFromLastError(GetLastError(), Call::OPEN);
  FileIdentity found;
  const bool known = HandleIdentity(opened, &found);
  const DWORD error = GetLastError();
  CloseHandle(opened);
  if (!known) return StatusFromLastError(error, Call::OTHER);
  *identity = found;
  return IO_OK;
}

// True when `name` still names the file open on `handle`.
bool StillNamed(HANDLE handle, const char* name) {
  FileIdentity held;
  FileIdentity named;
  return HandleIdentity(handle, &held) && Win32Identify(name, &named) == IO_OK &&
         held.volume == named.volume && held.index == named.index;
}

// A lock is attempted this often when its file keeps being removed or
// replaced under its name by holders that are ending.
constexpr int LOCK_ATTEMPTS = 3;

IoStatus Win32Lock(const char* name, OsHandle* handle, bool* created) {
  for (int attempt = 0; attempt < LOCK_ATTEMPTS; ++attempt) {
    bool made = true;
    HANDLE opened = CreateFileA(name, GENERIC_READ, SHARE_ALL, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
      made = false;
      opened = CreateFileA(name, GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
      if (opened == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) continue;
    }
    if (opened == INVALID_HANDLE_VALUE) return StatusFromLastError(GetLastError(), Call::LOCK);
    // Win32 locks are mandatory: the locked byte lies far beyond any end the
    // file will have, so reads and writes through other handles never meet it.
    OVERLAPPED at = {};
    at.OffsetHigh = 0x40000000;
    // A file system without locks holds the file open unlocked.
    if (!LockFileEx(opened, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) &&
        GetLastError() != ERROR_NOT_SUPPORTED && GetLastError() != ERROR_INVALID_FUNCTION) {
      const DWORD error = GetLastError();
      CloseHandle(opened);
      if (made && error != ERROR_LOCK_VIOLATION) DeleteFileA(name);
      return StatusFromLastError(error, Call::LOCK);
    }
    // A holder that ends removes the file it made while it still holds the
    // lock: a lock taken on the removed file must be taken again.
    if (StillNamed(opened, name)) {
      *handle = reinterpret_cast<OsHandle>(opened);
      *created = made;
      return IO_OK;
    }
    CloseHandle(opened);
  }
  return IO_FILE_LOCKED;
}

void Win32Unlock(OsHandle handle) {
  // Closing the handle releases its locks.
  CloseHandle(ToHandle(handle));
}

void Win32WriteStandardError(const char* bytes, int32_t count) {
  // A GUI process usually has no standard error handle: then nothing is written.
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
  DWORD put = 0;
  WriteFile(error, bytes, static_cast<DWORD>(count), &put, nullptr);
}

IoStatus Win32ExecutablePath(char* buffer, int32_t capacity, int32_t* length) {
  const DWORD got = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(capacity));
  // A path that does not fit comes back cut, with ERROR_INSUFFICIENT_BUFFER.
  if (got == 0 || got >= static_cast<DWORD>(capacity)) {
    return StatusFromLastError(GetLastError(), Call::OTHER);
  }
  *length = static_cast<int32_t>(got);
  return IO_OK;
}

const FileServices kWin32Services = {
    Win32Open,     Win32Read, Win32Write,  Win32Truncate,           Win32Close,         Win32Remove,
    Win32Identify, Win32Lock, Win32Unlock, Win32WriteStandardError, Win32ExecutablePath};

}  // namespace

const FileServices& HostFileServices() {
  return kWin32Services;
}

}  // namespace pk
