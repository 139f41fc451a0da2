#include "extract/job_lock.h"

#include <cstdlib>

#include "records/file_services.h"
#include "records/record_file.h"

namespace pk {

static_assert(MAX_FILE_NAME <= MAX_LOCK_NAME, "every name the record layer opens can be locked");

namespace {

struct JobLockState {
  bool held;
  bool unkept;  // the lock made NAME.PRE, and it has not become the report
  OsHandle handle;
  char name[MAX_FILE_NAME + 1];
};

JobLockState jobLock = {};
bool removalAtExitRegistered = false;

// The made NAME.PRE is no longer the job's to remove. An interrupt stops
// removing it first: once it is gone, another job may make a new NAME.PRE.
void ForgetMadeFile() {
  if (!jobLock.unkept) return;
  jobLock.unkept = false;
  CurrentFileServices().removeOnInterrupt(nullptr);
}

}  // namespace

IoStatus TakeJobLock(const JobFileName& reportName) {
  OsFileName(reportName.chars, JOB_FILE_NAME_LENGTH, jobLock.name);
  jobLock.handle = NO_OS_HANDLE;
  bool created = false;
  const IoStatus status = CurrentFileServices().lock(jobLock.name, &jobLock.handle, &created);
  jobLock.held = status == IO_OK;
  jobLock.unkept = jobLock.held && created;
  if (jobLock.unkept && !removalAtExitRegistered) {
    removalAtExitRegistered = true;
    std::atexit(RemoveUnkeptJobLockFile);
  }
  return status;
}

void KeepJobLockFile() {
  ForgetMadeFile();
}

void RemoveUnkeptJobLockFile() {
  if (!jobLock.held || !jobLock.unkept) return;
  ForgetMadeFile();
  // A failed removal leaves it empty.
  CurrentFileServices().remove(jobLock.name);
}

void ReleaseJobLock() {
  if (!jobLock.held) return;
  RemoveUnkeptJobLockFile();
  jobLock.held = false;
  CurrentFileServices().unlock(jobLock.handle);
}

}  // namespace pk
