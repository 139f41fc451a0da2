#include "records/io_status.h"

namespace pk {

const char* IoStatusText(IoStatus status) {
  switch (status) {
    case IO_INVALID_REQUEST:
      return "the file name or the open request is not valid";
    case IO_ACCESS_DENIED:
      return "access to the file is denied";
    case IO_FILE_EXISTS:
      return "the file already exists";
    case IO_FILE_NOT_FOUND:
      return "the file does not exist";
    case IO_NO_HANDLES:
      return "no more file handles are available";
    case IO_UNITS_EXHAUSTED:
      return "all units are in use";
    case IO_FILE_LOCKED:
      return "the file is locked by another process";
    case IO_WRITE_REFUSED:
      return "a write to the file was refused";
    case IO_DISK_FULL:
      return "the disk is full";
    case IO_FILE_BUSY:
      return "the file is busy, try again";
    case IO_CLOSE_FAILED:
      return "the file could not be closed";
    case IO_DANGLING_LINK:
      return "the file is a link to a file that does not exist";
    case IO_REMOVE_FAILED:
      return "the file could not be removed";
    case IO_READ_FAILED:
      return "a read from the file failed";
    default:
      return "the file operation failed";
  }
}

}  // namespace pk
