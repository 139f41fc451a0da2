// The result of every file operation and number conversion.
#pragma once

#include <cstdint>

namespace pk {

// 0 success, -1 end of file, a positive error number otherwise.
using IoStatus = int32_t;

constexpr IoStatus IO_OK = 0;
constexpr IoStatus IO_END_OF_FILE = -1;

// Error numbers of the file layer.
constexpr IoStatus IO_INVALID_REQUEST = 6412;  // the platform rejects the open request
constexpr IoStatus IO_ACCESS_DENIED =
    6414;  // also a directory, or an input that is not a regular file
constexpr IoStatus IO_FILE_EXISTS = 6415;      // the file exists
constexpr IoStatus IO_FILE_NOT_FOUND = 6416;   // OLD requested, the file does not exist
constexpr IoStatus IO_NO_HANDLES = 6417;       // the platform has no more file handles
constexpr IoStatus IO_UNITS_EXHAUSTED = 6418;  // all slots of the unit table are in use
constexpr IoStatus IO_FILE_LOCKED = 6419;      // another process holds the file's lock
constexpr IoStatus IO_WRITE_REFUSED = 6421;    // access or lock violation on write
constexpr IoStatus IO_DISK_FULL = 6422;
constexpr IoStatus IO_FILE_BUSY = 6423;      // the platform asks to try again later (EAGAIN)
constexpr IoStatus IO_CLOSE_FAILED = 6424;   // the platform could not close the file
constexpr IoStatus IO_DANGLING_LINK = 6425;  // the name is a link that leads to no file
constexpr IoStatus IO_REMOVE_FAILED = 6426;  // the platform could not remove the file
constexpr IoStatus IO_READ_FAILED = 6500;

// Error numbers of the number input edits.
constexpr IoStatus IO_INTEGER_RANGE = 6100;   // integer out of range
constexpr IoStatus IO_INTEGER_SYNTAX = 6101;  // a character that does not belong in an integer
constexpr IoStatus IO_REAL_SYNTAX = 6102;     // malformed real
constexpr IoStatus IO_REAL_EXPONENT = 6103;   // malformed real (exponent part)
constexpr IoStatus IO_REAL_RANGE = 6104;      // real out of range

// What went wrong, as a lower-case phrase for messages ("the disk is full"),
// for an error number of the file layer; "the file operation failed" for any
// other status. Never null; the text is static.
const char* IoStatusText(IoStatus status);

}  // namespace pk
