// The operating system's file services, as one small table of calls.
//
// The record-file layer makes every OS call through the table returned by
// CurrentFileServices(). Each platform provides one table
// (file_services_posix.cpp, file_services_win32.cpp) and turns its OS errors
// into IoStatus error numbers in exactly one helper. Tests install a table of
// their own with UseFileServices() to make chosen calls fail.
#pragma once

#include <cstdint>

#include "records/io_status.h"

namespace pk {

// An open OS file. -1 means none.
using OsHandle = intptr_t;
constexpr OsHandle NO_OS_HANDLE = -1;

enum class OsAccess { READ_WRITE, READ_ONLY, WRITE_ONLY };

enum class OsCreation {
  // (Not the Win32 names: those are macros in <windows.h>.)
  // An input: fails with IO_FILE_NOT_FOUND when the file does not exist, and
  // with IO_ACCESS_DENIED when it is not a regular file (a FIFO, a device).
  MUST_EXIST,
  EXISTING_OR_NEW,  // opens an existing file, creates a missing one
};

// What tells two names of one file apart from names of two files: the device
// (Win32: the volume serial number) and the file's number on it (inode, file
// index).
struct FileIdentity {
  uint64_t volume;
  uint64_t index;
};

// The longest name (NUL not counted) that `lock` and `removeOnInterrupt`
// take: the record layer's longest file name.
constexpr int32_t MAX_LOCK_NAME = 1023;

// The longest name (NUL not counted) `lock` makes a file under before it
// gives the file its name: that name, "~", a letter and a process number.
constexpr int32_t MAX_MADE_LOCK_NAME = MAX_LOCK_NAME + 23;

struct FileServices {
  // Opens `name` (NUL-terminated) in binary mode, shared with other processes,
  // positioned at its first byte, never truncated. The open itself never waits
  // (a FIFO without a writer does not block it). A directory is refused with
  // IO_ACCESS_DENIED. On success sets *handle. On failure leaves *handle
  // unchanged and returns the error number.
  IoStatus (*open)(const char* name, OsAccess access, OsCreation creation, OsHandle* handle);
  // Reads up to `capacity` bytes at the current position. On success sets
  // *received (0 at the end of the file). On failure returns IO_READ_FAILED or
  // another error number; *received is then 0. A back end may take more from
  // the OS at once and keep it for the next reads; the bytes, the position a
  // write or truncation meets and the errors are as if it did not.
  IoStatus (*read)(OsHandle handle, void* buffer, int32_t capacity, int32_t* received);
  // Writes all `count` bytes at the current position, or returns the error
  // (IO_DISK_FULL, IO_WRITE_REFUSED, ...); some bytes may have been written.
  IoStatus (*write)(OsHandle handle, const void* bytes, int32_t count);
  // Sets the file's end, and its position, to byte offset `length`.
  IoStatus (*truncate)(OsHandle handle, int64_t length);
  // Closes the handle; it is invalid afterwards whatever the result.
  IoStatus (*close)(OsHandle handle);
  // Deletes the file `name` (NUL-terminated).
  IoStatus (*remove)(const char* name);
  // Sets *identity to that of the file `name` names (NUL-terminated; a link is
  // followed). On failure returns the error number with *identity unchanged:
  // IO_FILE_NOT_FOUND when nothing is under the name, IO_DANGLING_LINK when
  // the name is a link that leads to no file (its target is missing, or the
  // links go round in a loop).
  IoStatus (*identify)(const char* name, FileIdentity* identity);
  // Opens `name` (NUL-terminated), creating it empty when it is missing, and
  // takes an exclusive lock on it without waiting; the file's bytes are
  // neither read nor written, and other handles may still read, write and
  // empty it. The lock lasts until `unlock` or the process's end. An
  // existing file is opened as it is. A missing one is made and locked under
  // a name of its own (`name`, "~", a process number) first and then given
  // `name` (where the file system allows it), so no other process ever finds
  // it unlocked; that name of its own is removed again at once (see
  // lockNameLeft when it cannot be). Returns IO_OK with *handle set and
  // *created telling whether this call made the file, also on a file system
  // that keeps no locks (the file is then only held open); IO_FILE_LOCKED
  // when another handle holds the lock, or when the file was removed,
  // replaced or made under its name each time the lock was taken (holders
  // that were ending or starting); IO_DANGLING_LINK when `name` is a link that
  // leads to no file (nothing is made); another error number when the file
  // cannot be opened or created. On failure *handle and *created are
  // unchanged and no file this call made is left under `name`. What it makes
  // is removed by an interrupt of the process, at whatever point of the
  // making the interrupt comes: the file under `name` as
  // removeOnInterrupt(name) arranges, until the next removeOnInterrupt call,
  // and its name of its own while it stands. Both back ends lock the same
  // byte far beyond the file's end, and the POSIX back end also takes a
  // whole-file flock: a job under wine and a native one on the same file see
  // each other's lock.
  IoStatus (*lock)(const char* name, OsHandle* handle, bool* created);
  // Releases the lock taken by `lock` and closes its handle, which is invalid
  // afterwards; a name of its own that `lock` could not remove is tried
  // again first. Cannot fail: the lock ends with the handle.
  void (*unlock)(OsHandle handle);
  // After `lock` or `unlock`: IO_OK when no name of its own that the last
  // `lock` made its file under is left; otherwise the error of the last
  // attempt to remove it, with the name stored in `name` (NUL-terminated,
  // MAX_MADE_LOCK_NAME + 1 bytes). Such a name is a second name of the file
  // `lock` made, or of an empty file it did not keep.
  IoStatus (*lockNameLeft)(char* name);
  // Until the next call, an interrupt of the process (POSIX: SIGINT, SIGTERM;
  // Win32: Ctrl+C, Ctrl+Break, the console closed) removes the file `name`
  // (NUL-terminated; it must stay valid until the next call) before the
  // process ends as that interrupt ends it; nullptr removes nothing. The
  // first call installs the handler (an interrupt ignored when the process
  // started stays ignored); the handler does nothing but the removal, so an
  // interrupt at any point is safe. Cannot fail.
  void (*removeOnInterrupt)(const char* name);
  // Writes bytes to the process's standard error stream; failures are ignored
  // (a GUI process may have none).
  void (*writeStandardError)(const char* bytes, int32_t count);
  // Stores the full path of the running program's executable file in `buffer`
  // (`capacity` bytes, NUL-terminated) and sets *length to its length. On
  // failure (also a path that does not fit) returns the error number with
  // *length unchanged and `buffer` undefined.
  IoStatus (*executablePath)(char* buffer, int32_t capacity, int32_t* length);
};

// The platform's own table.
const FileServices& HostFileServices();

// The table in use: the host's unless a test installed another.
const FileServices& CurrentFileServices();

// Installs `services` for all later calls; nullptr restores the host's table.
// The table must outlive its use.
void UseFileServices(const FileServices* services);

}  // namespace pk
