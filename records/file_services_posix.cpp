// POSIX file services: open/read/write/ftruncate/close/unlink, and the
// executable's path from /proc/self/exe.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "records/file_services.h"

namespace pk {

namespace {

enum class Call { OPEN, READ, WRITE, OTHER };

// The one place where an errno value becomes an error number.
IoStatus StatusFromErrno(int error, Call call) {
  switch (error) {
    case ENOENT:
      return call == Call::OPEN ? IO_FILE_NOT_FOUND : IO_INVALID_REQUEST;
    case EEXIST:
      return IO_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
      return call == Call::WRITE ? IO_WRITE_REFUSED : IO_ACCESS_DENIED;
    case EMFILE:
    case ENFILE:
      return IO_NO_HANDLES;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return IO_DISK_FULL;
    default:
      if (call == Call::READ) return IO_READ_FAILED;
      if (call == Call::WRITE) return IO_WRITE_REFUSED;
      return IO_INVALID_REQUEST;
  }
}

IoStatus PosixOpen(const char* name, OsAccess access, OsCreation creation, OsHandle* handle) {
  int flags = O_CLOEXEC;
  switch (access) {
    case OsAccess::READ_WRITE:
      flags |= O_RDWR;
      break;
    case OsAccess::READ_ONLY:
      flags |= O_RDONLY;
      break;
    case OsAccess::WRITE_ONLY:
      flags |= O_WRONLY;
      break;
  }
  switch (creation) {
    case OsCreation::MUST_EXIST:
      break;
    case OsCreation::MUST_NOT_EXIST:
      flags |= O_CREAT | O_EXCL;
      break;
    case OsCreation::EXISTING_OR_NEW:
      flags |= O_CREAT;
      break;
  }
  int fd;
  do {
    fd = ::open(name, flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return StatusFromErrno(errno, Call::OPEN);
  // A directory opens read-only on POSIX; as a file name it is refused, as on Win32.
  struct stat info;
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    return IO_ACCESS_DENIED;
  }
  *handle = fd;
  return IO_OK;
}

IoStatus PosixRead(OsHandle handle, void* buffer, int32_t capacity, int32_t* received) {
  ssize_t got;
  do {
    got = ::read(static_cast<int>(handle), buffer, static_cast<size_t>(capacity));
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    *received = 0;
    return StatusFromErrno(errno, Call::READ);
  }
  *received = static_cast<int32_t>(got);
  return IO_OK;
}

IoStatus PosixWrite(OsHandle handle, const void* bytes, int32_t count) {
  const char* next = static_cast<const char*>(bytes);
  while (count > 0) {
    ssize_t put = ::write(static_cast<int>(handle), next, static_cast<size_t>(count));
    if (put < 0) {
      if (errno == EINTR) continue;
      return StatusFromErrno(errno, Call::WRITE);
    }
    next += put;
    count -= static_cast<int32_t>(put);
  }
  return IO_OK;
}

IoStatus PosixTruncate(OsHandle handle, int64_t length) {
  const int fd = static_cast<int>(handle);
  if (::ftruncate(fd, static_cast<off_t>(length)) != 0) return StatusFromErrno(errno, Call::WRITE);
  if (::lseek(fd, static_cast<off_t>(length), SEEK_SET) < 0) {
    return StatusFromErrno(errno, Call::WRITE);
  }
  return IO_OK;
}

IoStatus PosixClose(OsHandle handle) {
  // close() is not retried on EINTR: the descriptor is released either way.
  if (::close(static_cast<int>(handle)) != 0) return StatusFromErrno(errno, Call::WRITE);
  return IO_OK;
}

IoStatus PosixRemove(const char* name) {
  if (::unlink(name) != 0) return StatusFromErrno(errno, Call::OTHER);
  return IO_OK;
}

void PosixWriteStandardError(const char* bytes, int32_t count) {
  while (count > 0) {
    ssize_t put = ::write(2, bytes, static_cast<size_t>(count));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return;
    bytes += put;
    count -= static_cast<int32_t>(put);
  }
}

IoStatus PosixExecutablePath(char* buffer, int32_t capacity, int32_t* length) {
  const ssize_t got = ::readlink("/proc/self/exe", buffer, static_cast<size_t>(capacity));
  if (got < 0) return StatusFromErrno(errno, Call::OTHER);
  // readlink fills the whole buffer when the path may not have fitted.
  if (got >= capacity) return StatusFromErrno(ENAMETOOLONG, Call::OTHER);
  buffer[got] = '\0';
  *length = static_cast<int32_t>(got);
  return IO_OK;
}

const FileServices kPosixServices = {PosixOpen,
                                     PosixRead,
                                     PosixWrite,
                                     PosixTruncate,
                                     PosixClose,
                                     PosixRemove,
                                     PosixWriteStandardError,
                                     PosixExecutablePath};

}  // namespace

const FileServices& HostFileServices() {
  return kPosixServices;
}

}  // namespace pk
