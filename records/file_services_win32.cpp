// Win32 file services: CreateFileA/ReadFile/WriteFile/SetEndOfFile/
// CloseHandle/DeleteFileA, GetFileInformationByHandle for a file's identity,
// LockFileEx and CreateHardLinkA for a lock, a console control handler for
// what an interrupt removes, GetModuleFileNameA (KERNEL32).
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "records/file_services.h"

namespace pk {

namespace {

enum class Call { OPEN, READ, WRITE, CLOSE, LOCK, REMOVE, OTHER };

// The one place where a GetLastError() value becomes an error number. An open
// that meets an input that is not a disk file (a pipe, a device such as NUL)
// reports it as ERROR_BAD_FILE_TYPE.
IoStatus StatusFromLastError(DWORD error, Call call) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return call == Call::OPEN || call == Call::LOCK || call == Call::REMOVE ? IO_FILE_NOT_FOUND
                                                                              : IO_INVALID_REQUEST;
    case ERROR_CANT_RESOLVE_FILENAME:  // links that go round in a loop
      return IO_DANGLING_LINK;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return IO_FILE_EXISTS;
    case ERROR_LOCK_VIOLATION:
      if (call == Call::LOCK) return IO_FILE_LOCKED;
      if (call == Call::READ) return IO_FILE_BUSY;  // a part another process locked
      return call == Call::WRITE ? IO_WRITE_REFUSED : IO_ACCESS_DENIED;
    case ERROR_BUSY:
      return IO_FILE_BUSY;
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
      if (call == Call::CLOSE) return IO_CLOSE_FAILED;
      if (call == Call::REMOVE) return IO_REMOVE_FAILED;
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
  if (!CloseHandle(ToHandle(handle))) return StatusFromLastError(GetLastError(), Call::CLOSE);
  return IO_OK;
}

IoStatus Win32Remove(const char* name) {
  if (!DeleteFileA(name)) return StatusFromLastError(GetLastError(), Call::REMOVE);
  return IO_OK;
}

// Opens `name` for its attributes only (no read or write access; a directory
// too).
HANDLE OpenForIdentity(const char* name) {
  return CreateFileA(name, 0, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                     nullptr);
}

// True when `name` has a directory entry of its own although it opens as
// missing: a link that leads to no file. The search lists the entry itself;
// wine, which follows the link there too, answers a name it finds but cannot
// follow with ERROR_NO_MORE_FILES instead of ERROR_FILE_NOT_FOUND.
bool NameIsTaken(const char* name) {
  if (std::strpbrk(name, "*?") != nullptr) return false;  // a pattern, not a name
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(name, &entry);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    return true;
  }
  return GetLastError() == ERROR_NO_MORE_FILES;
}

IoStatus Win32Identify(const char* name, FileIdentity* identity) {
  HANDLE opened = OpenForIdentity(name);
  if (opened == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND && NameIsTaken(name)) return IO_DANGLING_LINK;
    return StatusFromLastError(error, Call::OPEN);
  }
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

// What an interrupt removes, for the console control handler, which runs on
// a thread of its own: each name is complete before its flag is set, and the
// flag is cleared before the name changes.
char interruptName[MAX_LOCK_NAME + 1];
volatile LONG interruptRemovesName = 0;
char madeName[MAX_MADE_LOCK_NAME + 1];  // the name a lock file is made under first
volatile LONG interruptRemovesMade = 0;
IoStatus madeNameLeft = IO_OK;  // why madeName could not be removed

// Held by the handler, and while a file an interrupt removes is made, linked
// to its name or removed: the handler then meets flags that match what
// stands on disk, so no name made in between is left.
SRWLOCK interruptGuard = SRWLOCK_INIT;

struct InterruptsHeld {
  InterruptsHeld() { AcquireSRWLockExclusive(&interruptGuard); }
  ~InterruptsHeld() { ReleaseSRWLockExclusive(&interruptGuard); }
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;
};

// Removes what was arranged and ends the process as the system's own
// handler does, with STATUS_CONTROL_C_EXIT (which wine, left to itself,
// would not report). The guard is never released: the process ends.
BOOL WINAPI OnConsoleControl(DWORD /*event*/) {
  AcquireSRWLockExclusive(&interruptGuard);
  if (interruptRemovesMade != 0) DeleteFileA(madeName);
  if (interruptRemovesName != 0) DeleteFileA(interruptName);
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

// Installs OnConsoleControl, once. Ctrl+C stays ignored in a process started
// with it ignored (the handler is then not called for it).
void InstallInterruptHandler() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

void SetFlag(volatile LONG& flag, LONG value) {
  InterlockedExchange(&flag, value);
}

void SetInterruptName(const char* name) {
  SetFlag(interruptRemovesName, 0);
  if (name == nullptr || std::strlen(name) > MAX_LOCK_NAME) return;
  InstallInterruptHandler();
  std::snprintf(interruptName, sizeof interruptName, "%s", name);
  SetFlag(interruptRemovesName, 1);
}

void Win32RemoveOnInterrupt(const char* name) {
  SetInterruptName(name);
}

// Removes madeName (interrupts held). One that cannot be removed stays the
// interrupt's to remove, and madeNameLeft tells why.
void RemoveMadeName() {
  if (DeleteFileA(madeName) || GetLastError() == ERROR_FILE_NOT_FOUND) {
    SetFlag(interruptRemovesMade, 0);
    madeNameLeft = IO_OK;
  } else {
    madeNameLeft = StatusFromLastError(GetLastError(), Call::REMOVE);
  }
}

// Takes the lock of an open handle without waiting. Win32 locks are
// mandatory: the locked byte lies far beyond any end the file will have, so
// reads and writes through other handles never meet it. wine keeps the lock
// as a POSIX lock on that byte as well, which a native job's lock meets.
// Returns ERROR_SUCCESS, also on a file system without locks (the file is
// then only held open), or the error.
DWORD LockHandle(HANDLE opened) {
  OVERLAPPED at = {};
  at.OffsetHigh = 0x40000000;
  if (LockFileEx(opened, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
    return ERROR_SUCCESS;
  }
  const DWORD error = GetLastError();
  return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ? ERROR_SUCCESS : error;
}

HANDLE CreateLockFile(const char* name, DWORD disposition) {
  return CreateFileA(name, GENERIC_READ, SHARE_ALL, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// Makes `name` a new empty file directly, when it cannot be made elsewhere
// first (interrupts held).
HANDLE MakeUnderName(const char* name, bool* made) {
  HANDLE opened = CreateLockFile(name, CREATE_NEW);
  if (opened != INVALID_HANDLE_VALUE) {
    SetInterruptName(name);
    *made = true;
  }
  return opened;
}

// Makes `name` a new empty file that no other process finds unlocked: made
// under a name of its own, locked, then linked to `name` (a hard link, which
// never replaces what is under the name, not even a link that leads
// nowhere), with interrupts held throughout. Returns its handle (*made set,
// and *locked when the lock was taken on it), or INVALID_HANDLE_VALUE with
// the last error set: ERROR_FILE_EXISTS when something is under `name`
// already. A file system without hard links gets the file made under `name`
// directly (locked only after, by the caller).
HANDLE MakeLockedFile(const char* name, bool* made, bool* locked) {
  *made = false;
  *locked = false;
  const InterruptsHeld held;
  InstallInterruptHandler();
  SetFlag(interruptRemovesMade, 0);
  madeNameLeft = IO_OK;
  std::snprintf(madeName, sizeof madeName, "%s~w%lu", name, GetCurrentProcessId());
  HANDLE opened = CreateLockFile(madeName, CREATE_NEW);
  if (opened == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
    // Left by an ended process that had this process's number.
    DeleteFileA(madeName);
    opened = CreateLockFile(madeName, CREATE_NEW);
  }
  if (opened == INVALID_HANDLE_VALUE) return MakeUnderName(name, made);
  SetFlag(interruptRemovesMade, 1);
  *locked = LockHandle(opened) == ERROR_SUCCESS;
  const BOOL linked = CreateHardLinkA(name, madeName, nullptr);
  const DWORD linkError = GetLastError();
  if (linked) SetInterruptName(name);
  RemoveMadeName();
  if (linked) {
    *made = true;
    return opened;
  }
  CloseHandle(opened);
  *locked = false;
  if (linkError == ERROR_ALREADY_EXISTS || linkError == ERROR_FILE_EXISTS) {
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
  }
  return MakeUnderName(name, made);
}

// Lets go of a file this call made and will not keep: it is no longer an
// interrupt's to remove, and it is removed unless another may hold it.
void DropMadeFile(const char* name, bool removeIt) {
  const InterruptsHeld held;
  SetInterruptName(nullptr);
  if (removeIt) DeleteFileA(name);
}

// A lock is attempted this often when its file keeps being removed or
// replaced under its name by holders that are ending.
constexpr int LOCK_ATTEMPTS = 3;

IoStatus Win32Lock(const char* name, OsHandle* handle, bool* created) {
  if (std::strlen(name) > MAX_LOCK_NAME) return StatusFromLastError(ERROR_INVALID_NAME, Call::LOCK);
  for (int attempt = 0; attempt < LOCK_ATTEMPTS; ++attempt) {
    bool made = false;
    bool locked = false;  // a Win32 lock is not taken twice by one handle
    // An existing file is taken as it is: only a missing one is made.
    HANDLE opened = CreateLockFile(name, OPEN_EXISTING);
    if (opened == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
      if (NameIsTaken(name)) return IO_DANGLING_LINK;
      opened = MakeLockedFile(name, &made, &locked);
      if (opened == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS) {
        continue;  // made by another in between
      }
    }
    if (opened == INVALID_HANDLE_VALUE) return StatusFromLastError(GetLastError(), Call::LOCK);
    const DWORD error = locked ? ERROR_SUCCESS : LockHandle(opened);
    if (error != ERROR_SUCCESS) {
      CloseHandle(opened);
      // Where the file had to be made under its own name, another may have
      // locked it first: then it is that holder's to keep or remove.
      if (made) DropMadeFile(name, error != ERROR_LOCK_VIOLATION);
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
    if (made) DropMadeFile(name, false);
  }
  return IO_FILE_LOCKED;
}

void Win32Unlock(OsHandle handle) {
  if (madeNameLeft != IO_OK) {
    const InterruptsHeld held;
    RemoveMadeName();
  }
  // Closing the handle releases its locks.
  CloseHandle(ToHandle(handle));
}

IoStatus Win32LockNameLeft(char* name) {
  if (madeNameLeft != IO_OK) std::memcpy(name, madeName, sizeof madeName);
  return madeNameLeft;
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

const FileServices kWin32Services = {Win32Open,
                                     Win32Read,
                                     Win32Write,
                                     Win32Truncate,
                                     Win32Close,
                                     Win32Remove,
                                     Win32Identify,
                                     Win32Lock,
                                     Win32Unlock,
                                     Win32LockNameLeft,
                                     Win32RemoveOnInterrupt,
                                     Win32WriteStandardError,
                                     Win32ExecutablePath};

}  // namespace

const FileServices& HostFileServices() {
  return kWin32Services;
}

}  // namespace pk
