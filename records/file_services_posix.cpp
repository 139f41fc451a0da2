// POSIX file services: open/read/write/ftruncate/close/unlink, stat for a
// file's identity, flock and an open file's own byte lock for a lock,
// SIGINT and SIGTERM handlers for what an interrupt removes, and the
// executable's path from /proc/self/exe.
//
// Reads go to the OS in steps of READ_AHEAD_SIZE bytes for one file at a
// time, and the callers' smaller reads are served from them: a read returns
// the bytes read(2) would, from the same position, and an OS error shows at
// the first read that needs the bytes that failed. A write, truncation or
// close of that file first gives back what was read ahead.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "records/file_services.h"

namespace pk {

namespace {

enum class Call { OPEN, READ, WRITE, CLOSE, LOCK, REMOVE, OTHER };

// The one place where an errno value becomes an error number. An open that
// meets a directory or an input that is not a regular file reports it as
// EISDIR or ENXIO (what open(2) says of a FIFO it will not open).
IoStatus StatusFromErrno(int error, Call call) {
  switch (error) {
    case ENOENT:
      return call == Call::OPEN || call == Call::LOCK || call == Call::REMOVE ? IO_FILE_NOT_FOUND
                                                                              : IO_INVALID_REQUEST;
    case ELOOP:
      return IO_DANGLING_LINK;
    case EEXIST:
      return IO_FILE_EXISTS;
    case EAGAIN:  // also EWOULDBLOCK
      return call == Call::LOCK ? IO_FILE_LOCKED : IO_FILE_BUSY;
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
      if (call == Call::CLOSE) return IO_CLOSE_FAILED;
      if (call == Call::REMOVE) return IO_REMOVE_FAILED;
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
  if (::close(static_cast<int>(handle)) != 0) return StatusFromErrno(errno, Call::CLOSE);
  return IO_OK;
}

IoStatus PosixRemove(const char* name) {
  if (::unlink(name) != 0) return StatusFromErrno(errno, Call::REMOVE);
  return IO_OK;
}

// True when `name` holds a directory entry of its own (a link, followed or not).
bool NameIsTaken(const char* name) {
  struct stat entry;
  return ::lstat(name, &entry) == 0;
}

IoStatus PosixIdentify(const char* name, FileIdentity* identity) {
  struct stat info;
  if (::stat(name, &info) != 0) {
    const int error = errno;
    // A name whose entry exists while the path through it leads nowhere.
    if (error == ENOENT && NameIsTaken(name)) return IO_DANGLING_LINK;
    return StatusFromErrno(error, Call::OPEN);
  }
  *identity = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
  return IO_OK;
}

// What an interrupt removes, for the handler: each name is complete before
// its flag is set, and the flag is cleared before the name changes.
char interruptName[MAX_LOCK_NAME + 1];
volatile sig_atomic_t interruptRemovesName = 0;
char madeName[MAX_MADE_LOCK_NAME + 1];  // the name a lock file is made under first
volatile sig_atomic_t interruptRemovesMade = 0;
IoStatus madeNameLeft = IO_OK;  // why madeName could not be removed

// Removes what was arranged and lets the signal end the process as it would
// have (SA_RESETHAND restored its default action; it is delivered when the
// handler returns). unlink and raise are async-signal-safe.
void OnInterrupt(int signal) {
  if (interruptRemovesMade != 0) ::unlink(madeName);
  if (interruptRemovesName != 0) ::unlink(interruptName);
  ::raise(signal);
}

// Installs OnInterrupt for SIGINT and SIGTERM, once; a signal the process
// was started with ignored stays ignored (nohup, a background job).
void InstallInterruptHandler() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (const int signal : {SIGINT, SIGTERM}) {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    struct sigaction before = {};
    if (::sigaction(signal, &action, &before) == 0 && before.sa_handler == SIG_IGN) {
      ::sigaction(signal, &before, nullptr);
    }
  }
}

// SIGINT and SIGTERM held back for the object's lifetime, while a file an
// interrupt removes is made, linked to its name or removed: one that comes
// meanwhile is handled once the handler's flags match what stands on disk,
// so no name made in between is left.
struct InterruptsHeld {
  sigset_t before;
  InterruptsHeld() {
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &interrupts, &before);
  }
  ~InterruptsHeld() { ::sigprocmask(SIG_SETMASK, &before, nullptr); }
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;
};

void PosixRemoveOnInterrupt(const char* name) {
  interruptRemovesName = 0;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  if (name == nullptr || std::strlen(name) > MAX_LOCK_NAME) return;
  InstallInterruptHandler();
  std::snprintf(interruptName, sizeof interruptName, "%s", name);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  interruptRemovesName = 1;
}

// Removes madeName (interrupts held). One that cannot be removed stays the
// interrupt's to remove, and madeNameLeft tells why.
void RemoveMadeName() {
  if (::unlink(madeName) == 0 || errno == ENOENT) {
    interruptRemovesMade = 0;
    madeNameLeft = IO_OK;
  } else {
    madeNameLeft = StatusFromErrno(errno, Call::REMOVE);
  }
}

// The byte both back ends lock: far beyond any end the file will have, as
// Win32 locks are mandatory and reads and writes through other handles must
// never meet it. wine keeps a LockFileEx lock as a POSIX lock on the same
// byte as well, so a native job and one under wine see each other's.
constexpr off_t LOCKED_BYTE = off_t{1} << 62;

bool LocksUnsupported(int error) {
  return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL;
}

// Takes the locks of the open file `fd` without waiting: its flock, then a
// write lock on LOCKED_BYTE that belongs to the open file (as the flock
// does: closing another descriptor of the file keeps both). Returns 0, or
// the errno value (EWOULDBLOCK when another holds either). A file system
// without such locks, or a file open read-only (no write lock then), is
// held with what it allows.
int LockOpenFile(int fd) {
  int locked;
  do {
    locked = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0 && !LocksUnsupported(errno)) return errno;
  struct flock range = {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  range.l_start = LOCKED_BYTE;
  range.l_len = 1;
  int ranged;
  do {
    ranged = ::fcntl(fd, F_OFD_SETLK, &range);
  } while (ranged != 0 && errno == EINTR);
  if (ranged != 0 && (errno == EAGAIN || errno == EACCES)) return EWOULDBLOCK;
  return 0;
}

// Makes `name` a new empty file directly, when it cannot be made elsewhere
// first (interrupts held).
int MakeUnderName(const char* name, bool* made) {
  const int fd = OpenRetried(name, O_RDWR | O_CLOEXEC | O_NONBLOCK | O_CREAT | O_EXCL);
  if (fd >= 0) {
    PosixRemoveOnInterrupt(name);
    *made = true;
  }
  return fd;
}

// Makes `name` a new empty file that no other process finds unlocked: made
// under a name of its own, locked, then linked to `name`, with interrupts
// held throughout. Returns its descriptor (*made set, and *locked when the
// locks were taken on it), or -1 with errno set: EEXIST when something is
// under `name` already. A file system without hard links gets the file
// made under `name` directly (locked only after, by the caller).
int MakeLockedFile(const char* name, bool* made, bool* locked) {
  *made = false;
  *locked = false;
  const InterruptsHeld held;
  InstallInterruptHandler();
  interruptRemovesMade = 0;
  madeNameLeft = IO_OK;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  std::snprintf(madeName, sizeof madeName, "%s~%ld", name, static_cast<long>(::getpid()));
  const int common = O_RDWR | O_CLOEXEC | O_NONBLOCK | O_CREAT | O_EXCL;
  int fd = OpenRetried(madeName, common);
  if (fd < 0 && errno == EEXIST) {
    // Left by an ended process that had this process's number.
    ::unlink(madeName);
    fd = OpenRetried(madeName, common);
  }
  if (fd < 0) return MakeUnderName(name, made);
  std::atomic_signal_fence(std::memory_order_seq_cst);
  interruptRemovesMade = 1;
  *locked = LockOpenFile(fd) == 0;
  const int linked = ::link(madeName, name);
  const int linkError = errno;
  if (linked == 0) PosixRemoveOnInterrupt(name);
  RemoveMadeName();
  if (linked == 0) {
    *made = true;
    return fd;
  }
  ::close(fd);
  *locked = false;
  if (linkError == EEXIST) {
    errno = EEXIST;
    return -1;
  }
  return MakeUnderName(name, made);
}

// Opens the file under `name`, for writing where allowed (the byte lock
// needs it). -1 with errno set when it cannot be opened.
int OpenLockFile(const char* name) {
  const int common = O_CLOEXEC | O_NONBLOCK;
  const int fd = OpenRetried(name, common | O_RDWR);
  if (fd >= 0 || errno == ENOENT || errno == ELOOP) return fd;
  return OpenRetried(name, common | O_RDONLY);
}

// Lets go of a file this call made and will not keep: it is no longer an
// interrupt's to remove, and it is removed unless another may hold it.
void DropMadeFile(const char* name, bool removeIt) {
  const InterruptsHeld held;
  PosixRemoveOnInterrupt(nullptr);
  if (removeIt) ::unlink(name);
}

// A lock is attempted this often when its file keeps being removed or
// replaced under its name by holders that are ending.
constexpr int LOCK_ATTEMPTS = 3;

IoStatus PosixLock(const char* name, OsHandle* handle, bool* created) {
  // flock and an open file's byte lock, not a process's fcntl locks: they
  // belong to the open file, so closing another descriptor of the file (the
  // report's) keeps them, and two opens in one process exclude each other as
  // two processes do.
  if (std::strlen(name) > MAX_LOCK_NAME) return StatusFromErrno(ENAMETOOLONG, Call::LOCK);
  for (int attempt = 0; attempt < LOCK_ATTEMPTS; ++attempt) {
    bool made = false;
    bool locked = false;
    // An existing file is taken as it is: only a missing one is made.
    int fd = OpenLockFile(name);
    if (fd < 0 && errno == ENOENT) {
      if (NameIsTaken(name)) return IO_DANGLING_LINK;
      fd = MakeLockedFile(name, &made, &locked);
      if (fd < 0 && errno == EEXIST) continue;  // made by another in between
    }
    if (fd < 0) return StatusFromErrno(errno, Call::LOCK);
    const int error = locked ? 0 : LockOpenFile(fd);
    if (error != 0) {
      ::close(fd);
      // Where the file had to be made under its own name, another may have
      // locked it first: then it is that holder's to keep or remove.
      if (made) DropMadeFile(name, error != EWOULDBLOCK);
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
    if (made) DropMadeFile(name, false);
  }
  return IO_FILE_LOCKED;
}

void PosixUnlock(OsHandle handle) {
  if (madeNameLeft != IO_OK) {
    const InterruptsHeld held;
    RemoveMadeName();
  }
  // Closing the only descriptor of the open file releases its locks.
  ::close(static_cast<int>(handle));
}

IoStatus PosixLockNameLeft(char* name) {
  if (madeNameLeft != IO_OK) std::memcpy(name, madeName, sizeof madeName);
  return madeNameLeft;
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
                                     PosixIdentify,
                                     PosixLock,
                                     PosixUnlock,
                                     PosixLockNameLeft,
                                     PosixRemoveOnInterrupt,
                                     PosixWriteStandardError,
                                     PosixExecutablePath};

}  // namespace

const FileServices& HostFileServices() {
  return kPosixServices;
}

}  // namespace pk
