// The lock of NAME.PRE that keeps a second job for the program out, and the
// empty NAME.PRE the lock makes when it is missing, which no early end of the
// job leaves behind: not a return, not a fatal file error, not an interrupt.
#pragma once

#include "extract/job_files.h"
#include "records/io_status.h"

namespace pk {

// Takes the lock of NAME.PRE (`reportName`, in the current directory)
// through the file services, making the file empty when it is missing.
// Returns IO_OK while the lock is held; IO_FILE_LOCKED when another job holds
// it; IO_DANGLING_LINK when NAME.PRE is a link that leads to no file (nothing
// is made); another error number when the lock cannot be taken (the job then
// goes on without it). A NAME.PRE the lock made is removed by an interrupt,
// by the process's end (registered with atexit when a lock first makes one)
// and by ReleaseJobLock, until KeepJobLockFile. One lock at a time.
IoStatus TakeJobLock(const JobFileName& reportName);

// NAME.PRE is about to become the job's report: it is no longer removed.
void KeepJobLockFile();

// Removes the NAME.PRE the lock made unless it was kept, then releases the
// lock. Does nothing when no lock is held.
void ReleaseJobLock();

// What the process's end does while a lock is held (the lock itself ends
// with the process): removes the NAME.PRE the lock made unless it was kept.
// A test that stops a job at its run-time error calls it as the process end
// would.
void RemoveUnkeptJobLockFile();

}  // namespace pk
