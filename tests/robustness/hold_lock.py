"""hold_lock.py KIND FILE COMMAND...: runs COMMAND while this process holds
FILE's lock the way one back end's job holds it, and exits with COMMAND's
exit code. KIND "native": a whole-file flock and an open file's write lock on
byte 2**62, as the POSIX back end takes them. KIND "wine": a process's read
lock on byte 2**62 of the file opened read-only, which is how wine keeps a
LockFileEx lock of the Win32 back end where native processes see it."""
import fcntl
import os
import struct
import subprocess
import sys

LOCKED_BYTE = 1 << 62
F_OFD_SETLK = getattr(fcntl, "F_OFD_SETLK", 37)


def main():
    kind, name, command = sys.argv[1], sys.argv[2], sys.argv[3:]
    if kind == "native":
        fd = os.open(name, os.O_RDWR | os.O_CREAT, 0o666)
        fcntl.flock(fd, fcntl.LOCK_EX | fcntl.LOCK_NB)
        fcntl.fcntl(fd, F_OFD_SETLK, struct.pack("hhqqi", fcntl.F_WRLCK, 0, LOCKED_BYTE, 1, 0))
    else:
        fd = os.open(name, os.O_RDONLY | os.O_CREAT, 0o666)
        fcntl.lockf(fd, fcntl.LOCK_SH | fcntl.LOCK_NB, 1, LOCKED_BYTE)
    sys.exit(subprocess.call(command))


main()
