// POSIX file services: open/read/write/ftruncate/close/unlink, stat for a
// file's identity, flock for a lock, and the executable's path from
// /proc/self/exe.
//
// Reads go to the OS in steps of READ_AHEAD_SIZE bytes for one file at a
// time, and the callers' smaller reads are served from them: a read returns
// the bytes read(2) would, from the same position, and an OS error shows at
// the first read that needs the bytes that failed. A write, truncation or
// close of that file first gives back what was read ahead.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "records/file_services.h"

namespace pk {

namespace {

enum class Call { OPEN, READ, WRITE, LOCK, OTHER };

// The one place where an errno value becomes an error number. An open that
// meets a directory or an input that is not a regular file reports it as
// EISDIR or ENXIO (what open(2) says of a FIFO it will not open).
IoStatus StatusFromErrno(int error, Call call) {
  switch (error) {
    case ENOENT:
      return call == Call::OPEN || call == Call::LOCK ? IO_FILE_NOT_FOUND : IO_INVALID_REQUEST;
    case EEXIST:
      return IO_FILE_EXISTS;
    case EWOULDBLOCK:
      return call == Call::LOCK ? IO_FILE_LOCKED : IO_INVALID_REQUEST;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENXIO:
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

// open(2) retried while a signal interrupts it.
int OpenRetried(const char* name, int flags) {
  int fd;
  do {
    fd = ::open(name, flags, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

IoStatus PosixOpen(const char* name, OsAccess access, OsCreation creation, OsHandle* handle) {
  // O_NONBLOCK only for the open itself: a FIFO without a writer would block it.
  int flags = O_CLOEXEC | O_NONBLOCK;
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
  const int fd = OpenRetried(name, flags);
  if (fd < 0) return StatusFromErrno(errno, Call::OPEN);
  // A directory opens read-only on POSIX; as a file name it is refused, as on
  // Win32. An input must be a regular file: a FIFO or a device (/dev/zero)
  // would make a read wait, or never end.
  struct stat info;
  int refused = 0;
  if (::fstat(fd, &info) != 0) {
    refused = errno;
  } else if (S_ISDIR(info.st_mode)) {
    refused = EISDIR;
  } else if (creation == OsCreation::MUST_EXIST && !S_ISREG(info.st_mode)) {
    refused = ENXIO;
  } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    refused = errno;
  }
  if (refused != 0) {
    ::close(fd);
    return StatusFromErrno(refused, Call::OPEN);
  }
  *handle = fd;
  return IO_OK;
}

constexpr int32_t READ_AHEAD_SIZE = 64 * 1024;

// The bytes read ahead for `fd`: bytes[position..fill) are the next ones of
// the file; the OS position is `fill - position` bytes further on.
struct ReadAhead {
  int fd = -1;
  int32_t fill = 0;
  int32_t position = 0;
  char bytes[READ_AHEAD_SIZE];
};
ReadAhead readAhead;

ssize_t ReadFromOs(int fd, void* buffer, size_t capacity) {
  ssize_t got;
  do {
    got = ::read(fd, buffer, capacity);
  } while (got < 0 && errno == EINTR);
  return got;
}

// Forgets what was read ahead for `fd`.
void DropReadAhead(int fd) {
  if (readAhead.fd != fd) return;
  readAhead.fd = -1;
  readAhead.fill = 0;
  readAhead.position = 0;
}

// Forgets what was read ahead for `fd`, moving the OS position back to where
// the caller's reads stand. Returns false (errno set) when it cannot be moved.
bool GiveBackReadAhead(int fd) {
  if (readAhead.fd != fd) return true;
  const off_t unread = readAhead.fill - readAhead.position;
  DropReadAhead(fd);
  return unread == 0 || ::lseek(fd, -unread, SEEK_CUR) >= 0;
}

// Whether `fd` may take the read-ahead: no other file has bytes waiting in
// it, and `fd` can be moved back (it is not a pipe or a terminal).
bool TakeReadAhead(int fd) {
  if (readAhead.fd == fd) return true;
  if (readAhead.position < readAhead.fill || ::lseek(fd, 0, SEEK_CUR) < 0) return false;
  readAhead.fd = fd;
  readAhead.fill = 0;
  readAhead.position = 0;
  return true;
}

IoStatus PosixRead(OsHandle handle, void* buffer, int32_t capacity, int32_t* received) {
  const int fd = static_cast<int>(handle);
  if (!TakeReadAhead(fd)) {
    const ssize_t got = ReadFromOs(fd, buffer, static_cast<size_t>(capacity));
    *received = got < 0 ? 0 : static_cast<int32_t>(got);
    return got < 0 ? StatusFromErrno(errno, Call::READ) : IO_OK;
  }
  char* to = static_cast<char*>(buffer);
  int32_t taken = 0;
  while (taken < capacity) {
    if (readAhead.position == readAhead.fill) {
      const ssize_t got = ReadFromOs(fd, readAhead.bytes, READ_AHEAD_SIZE);
      if (got < 0 && taken == 0) {
        *received = 0;
        return StatusFromErrno(errno, Call::READ);
      }
      // The bytes taken so far go out now; a failure shows at the next read.
      if (got <= 0) break;
      readAhead.fill = static_cast<int32_t>(got);
      readAhead.position = 0;
    }
    const int32_t waiting = readAhead.fill - readAhead.position;
    const int32_t count = waiting < capacity - taken ? waiting : capacity - taken;
    std::memcpy(to + taken, readAhead.bytes + readAhead.position, static_cast<size_t>(count));
    readAhead.position += count;
    taken += count;
  }
  *received = taken;
  return IO_OK;
}

IoStatus PosixWrite(OsHandle handle, const void* bytes, int32_t count) {
  if (!GiveBackReadAhead(static_cast<int>(handle))) return StatusFromErrno(errno, Call::WRITE);
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
  if (!GiveBackReadAhead(fd)) return StatusFromErrno(errno, Call::WRITE);
  if (::ftruncate(fd, static_cast<off_t>(length)) != 0) return StatusFromErrno(errno, Call::WRITE);
  if (::lseek(fd, static_cast<off_t>(length), SEEK_SET) < 0) {
    return StatusFromErrno(errno, Call::WRITE);
  }
  return IO_OK;
}

IoStatus PosixClose(OsHandle handle) {
  DropReadAhead(static_cast<int>(handle));
  // close() is not retried on EINTR: the descriptor is released either way.
  if (::close(static_cast<int>(handle)) != 0) return StatusFromErrno(errno, Call::WRITE);
  return IO_OK;
}

IoStatus PosixRemove(const char* name) {
  if (::unlink(name) != 0) return StatusFromErrno(errno, Call::OTHER);
  return IO_OK;
}

IoStatus PosixIdentify(const char* name, FileIdentity* identity) {
  struct stat info;
  if (::stat(name, &info) != 0) return StatusFromErrno(errno, Call::OPEN);
  *identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
  return IO_OK;
}

// A lock is attempted this often when its file keeps being removed or
// replaced under its name by holders that are ending.
constexpr int LOCK_ATTEMPTS = 3;

IoStatus PosixLock(const char* name, OsHandle* handle, bool* created) {
  // flock, not fcntl locks: a flock belongs to its open file, so closing
  // another descriptor of the file (the report's) keeps it, and two opens in
  // one process exclude each other as two processes do.
  for (int attempt = 0; attempt < LOCK_ATTEMPTS; ++attempt) {
    const int common = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    bool made = true;
    int fd = OpenRetried(name, common | O_CREAT | O_EXCL);
    if (fd < 0 && errno == EEXIST) {
      made = false;
      fd = OpenRetried(name, common);
      if (fd < 0 && errno == ENOENT) continue;  // removed in between
    }
    if (fd < 0) return StatusFromErrno(errno, Call::LOCK);
    int locked;
    do {
      locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    // A file system without locks (ENOLCK, EOPNOTSUPP, EINVAL) holds the file open unlocked.
    if (locked != 0 && errno != ENOLCK && errno != EOPNOTSUPP && errno != EINVAL) {
      const int error = errno;
      ::close(fd);
      if (made && error != EWOULDBLOCK) ::unlink(name);
      return StatusFromErrno(error, Call::LOCK);
    }
    // A holder that ends removes the file it made while it still holds the
    // lock: a lock taken on the removed file must be taken again.
    struct stat held;
    struct stat named;
    if (::fstat(fd, &held) == 0 && ::stat(name, &named) == 0 && SameFile(held, named)) {
      *handle = fd;
      *created = made;
      return IO_OK;
    }
    ::close(fd);
  }
  return IO_FILE_LOCKED;
}

void PosixUnlock(OsHandle handle) {
  // Closing the only descriptor of the open file releases its flock.
  ::close(static_cast<int>(handle));
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

const FileServices kPosixServices = {
    PosixOpen,     PosixRead, PosixWrite,  PosixTruncate,           PosixClose,         PosixRemove,
    PosixIdentify, PosixLock, PosixUnlock, PosixWriteStandardError, PosixExecutablePath};

}  // namespace

const FileServices& HostFileServices() {
  return kPosixServices;
}

}  // namespace pk
