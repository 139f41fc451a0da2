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
  MUST_NOT_EXIST,   // fails with IO_FILE_EXISTS when the file exists; creates it
  EXISTING_OR_NEW,  // opens an existing file, creates a missing one
};

// What tells two names of one file apart from names of two files: the device
// (Win32: the volume serial number) and the file's number on it (inode, file
// index).
struct FileIdentity {
  uint64_t volume;
  uint64_t index;
};

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
  // followed). On failure returns the error number (IO_FILE_NOT_FOUND for a
  // missing file) with *identity unchanged.
  IoStatus (*identify)(const char* name, FileIdentity* identity);
  // Opens `name` (NUL-terminated), creating it empty when it is missing, and
  // takes an exclusive lock on it without waiting; the file's bytes are
  // neither read nor written, and other handles may still read, write and
  // empty it. The lock lasts until `unlock` or the process's end. Returns
  // IO_OK with *handle set and *created telling whether this call made the
  // file, also on a file system that keeps no locks (the file is then only
  // held open); IO_FILE_LOCKED when another handle holds the lock, or when the
  // file was removed or replaced under its name each time the lock was taken
  // (holders that were ending); another error number when the file cannot be
  // opened or created. On failure *handle and *created are unchanged and a
  // file this call made is removed again, unless another handle locked it.
  IoStatus (*lock)(const char* name, OsHandle* handle, bool* created);
  // Releases the lock taken by `lock` and closes its handle, which is invalid
  // afterwards. Cannot fail: the lock ends with the handle.
  void (*unlock)(OsHandle handle);
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
