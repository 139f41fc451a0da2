#include "extract/job.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "extract/job_lock.h"
#include "extract/library_table.h"
#include "records/file_services.h"
#include "records/record_file.h"
#include "testing/failing_file_services.h"
#include "testing/files.h"
#include "testing/job_files.h"
#include "testing/scratch_directory.h"
#include "testing/traced_file_services.h"

namespace pk {
namespace {

using testing::CrLf;
using testing::FileExists;
using testing::InputFile;
using testing::ReadWholeFile;
using testing::ScratchDirectory;
using testing::TracedFileServices;
using testing::Trimmed;
using testing::WriteJobInputs;
using testing::WriteWholeFile;

// The files the job went on without, as "read USER32.FD 6500; ...".
std::string FaultsOf(const JobOutcome& outcome) {
  std::string text;
  for (int32_t i = 0; i < outcome.faults.count; ++i) {
    const FileFault& fault = outcome.faults.faults[i];
    text += fault.operation == FileOperation::READ ? "read " : "write ";
    text += Trimmed(fault.file) + " " + std::to_string(fault.reason) + "; ";
  }
  return text;
}

const std::vector<InputFile> kInputs = {
    {"MASTERFI.LIS", {"MSG"}},
    {"MASTERFD.LIS", {"GETDC", "BEEP"}},
    {"DEMO.FOR", {"      CALL GETDC(MSG)", "      CALL BEEP"}},
    {"USER32.FD", {"C*GETDC", "      INTEGER GETDC"}},
    {"USER32.FI", {"C*MSG", "      STRUCTURE /MSG/"}},
};

char programName[31] = "DEMO";

// RunJob with FailingFileServices of these arguments installed for the run.
template <typename... Failing>
JobOutcome RunJobFailing(Failing... failing) {
  const testing::FailingFileServices failingCalls(failing...);
  return RunJob(programName);
}

// In the job of kInputs the reads and writes come in this order. Reads:
// MASTERFI.LIS 1-2, DEMO.FOR 3-4, MASTERFD.LIS 5-6, DEMO.FOR 7-8, DEMO.FDH
// 9-10, USER32.FD 11-12, ... Writes: DEMO.FIH 1, DEMO.FDH 2, the GETDC block
// 3, the FD report's count lines 4, its heading 5, its line BEEP 6, ...
constexpr int32_t FIRST_LIBRARY_READ = 11;
constexpr int32_t BLOCK_WRITE = 3;
constexpr int32_t REPORT_LINE_WRITE = 6;

// Each missing input ends the job at its phase, naming the file; nothing of a
// later phase is written.
TEST(RunJob, MissingInputEndsTheJobAtItsPhase) {
  const struct {
    const char* missing;
    const char* firstUnwritten;
  } cases[] = {
      {"MASTERFI.LIS", "DEMO.FIH"}, {"DEMO.FOR", "DEMO.FIH"}, {"MASTERFD.LIS", "DEMO.FDH"}};
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    WriteJobInputs(kInputs);
    std::filesystem::remove(c.missing);
    const JobOutcome outcome = RunJob(programName);
    EXPECT_EQ(outcome.end, JobEnd::NOT_OPENED) << c.missing;
    EXPECT_EQ(Trimmed(outcome.file), c.missing);
    EXPECT_FALSE(FileExists(c.firstUnwritten)) << c.missing;
    EXPECT_FALSE(FileExists("DEMO.PRE")) << c.missing;
  }
}

// A read error must not pass for the end of a list: the job ends instead of
// counting a cut list as the program's whole use.
TEST(RunJob, ReadErrorInTheSourceEndsTheJob) {
  ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  // Reads 1 and 2 take MASTERFI.LIS and its end; read 3 is DEMO.FOR's first.
  const JobOutcome outcome = RunJobFailing(testing::FileCall::READ, 3, IO_READ_FAILED);
  EXPECT_EQ(outcome.end, JobEnd::NOT_READ);
  EXPECT_EQ(Trimmed(outcome.file), "DEMO.FOR");
  EXPECT_FALSE(FileExists("DEMO.PRE"));
}

TEST(RunJob, UsedListThatCannotBeWrittenEndsTheJob) {
  ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  TracedFileServices failing("BEEP");
  const JobOutcome outcome = RunJob(programName);
  EXPECT_EQ(outcome.end, JobEnd::NOT_WRITTEN);
  EXPECT_EQ(Trimmed(outcome.file), "DEMO.FDH");
  EXPECT_FALSE(FileExists("DEMO.PRE"));
}

TEST(RunJob, OutputThatCannotBeOpenedEndsTheJobWithTheReportClosed) {
  ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  std::filesystem::create_directory("DEMO.FI");
  const JobOutcome outcome = RunJob(programName);
  EXPECT_EQ(outcome.end, JobEnd::NOT_OPENED);
  EXPECT_EQ(Trimmed(outcome.file), "DEMO.FI");
  EXPECT_FALSE(IsUnitAttached(UNIT_REPORT));
  EXPECT_EQ(ReadWholeFile("DEMO.PRE").substr(0, 34), "       2 FD Symbols were specified");
}

// The outcome tells the status of the operation that failed.
TEST(RunJob, EarlyEndCarriesTheFailedOperationsStatus) {
  const struct {
    testing::FileCall call;
    int32_t number;
    IoStatus error;
    JobEnd end;
  } cases[] = {
      {testing::FileCall::READ, 3, IO_READ_FAILED, JobEnd::NOT_READ},
      {testing::FileCall::WRITE, 1, IO_DISK_FULL, JobEnd::NOT_WRITTEN},
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    WriteJobInputs(kInputs);
    const JobOutcome outcome = RunJobFailing(c.call, c.number, c.error);
    EXPECT_EQ(outcome.end, c.end) << c.error;
    EXPECT_EQ(outcome.reason, c.error);
  }
}

// With settings the lists and libraries come from the library directory and
// the source may be free form; everything written stays in the current one.
TEST(RunJob, SettingsNameTheSourceAndTheLibraryDirectory) {
  ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  std::filesystem::create_directory("lib");
  for (const char* name : {"MASTERFI.LIS", "MASTERFD.LIS", "USER32.FD", "USER32.FI"}) {
    std::filesystem::rename(name, std::string("lib/") + name);
  }
  WriteWholeFile("DEMO.f90", CrLf({"call Get&", "  &DC(msg); call Beep"}));
  const JobSettings settings = {SourceForm::FREE, {'f', '9', '0'}, "lib", 3};
  JobOutcome outcome = RunJob(programName, settings);
  EXPECT_EQ(outcome.end, JobEnd::COMPLETE);
  EXPECT_EQ(ReadWholeFile("DEMO.FDH"), CrLf({"GETDC", "BEEP"}));
  EXPECT_EQ(ReadWholeFile("DEMO.FD"), CrLf({"      INTEGER GETDC"}));

  const JobSettings elsewhere = {SourceForm::FREE, {'f', '9', '0'}, "none/", 5};
  outcome = RunJob(programName, elsewhere);
  EXPECT_EQ(outcome.end, JobEnd::NOT_OPENED);
  EXPECT_EQ(Trimmed(outcome.file), "MASTERFI.LIS");
  EXPECT_TRUE(outcome.inLibraryDirectory);
  EXPECT_EQ(outcome.reason, IO_FILE_NOT_FOUND);
  EXPECT_EQ(ReadWholeFile("DEMO.FDH"), CrLf({"GETDC", "BEEP"}));

  const std::string tooLong(LIBRARY_DIRECTORY_LENGTH + 1, 'd');
  const JobSettings tooFar = {
      SourceForm::FIXED, {'F', 'O', 'R'}, tooLong.c_str(), LIBRARY_DIRECTORY_LENGTH + 1};
  outcome = RunJob(programName, tooFar);
  EXPECT_EQ(outcome.end, JobEnd::NOT_OPENED);
  EXPECT_EQ(outcome.reason, IO_INVALID_REQUEST);
  // The program's own run reads from the current directory again.
  EXPECT_EQ(RunJob(programName).end, JobEnd::NOT_OPENED);
}

// A degraded run completes with its specified outputs and names every file
// it went on without, once each, with the first failure's status.
TEST(RunJob, DegradedRunNamesEveryFileItWentOnWithout) {
  const struct {
    testing::FileCall call;
    int32_t number;  // 0: every write holding "INTEGER" fails (both FD blocks)
    IoStatus error;
    const char* faults;
  } cases[] = {
      {testing::FileCall::READ, FIRST_LIBRARY_READ, IO_READ_FAILED, "read USER32.FD 6500; "},
      {testing::FileCall::WRITE, BLOCK_WRITE, IO_DISK_FULL, "write DEMO.FD 6422; "},
      {testing::FileCall::WRITE, REPORT_LINE_WRITE, IO_DISK_FULL, "write DEMO.PRE 6422; "},
      {testing::FileCall::WRITE, 0, IO_DISK_FULL, "write DEMO.FD 6422; "},
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    WriteJobInputs(kInputs);
    if (c.number == 0) WriteWholeFile("GDI32.FD", CrLf({"C*BEEP", "      INTEGER BEEP"}));
    const JobOutcome clean = RunJob(programName);
    ASSERT_EQ(FaultsOf(clean), "");
    const std::string cleanReport = ReadWholeFile("DEMO.PRE");
    if (c.number == 0) {
      TracedFileServices failing("INTEGER");
      const JobOutcome outcome = RunJob(programName);
      EXPECT_EQ(FaultsOf(outcome), c.faults);
      EXPECT_EQ(ReadWholeFile("DEMO.FD"), "");
      continue;
    }
    const JobOutcome outcome = RunJobFailing(c.call, c.number, c.error);
    EXPECT_EQ(outcome.end, JobEnd::COMPLETE) << c.faults;
    EXPECT_EQ(FaultsOf(outcome), c.faults);
    EXPECT_NE(ReadWholeFile("DEMO.PRE"), cleanReport) << c.faults;
  }
}

// A used-symbol list longer than the transfer buffer whose later write fails
// ends the job with the list cut back to its last whole line.
TEST(RunJob, UsedListThatCannotBeWrittenEndsInAWholeLine) {
  ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  std::string master;
  std::string source;
  std::string list;
  for (int i = 0; i < 100; ++i) {
    const std::string name = "CREATEELLIPTICREGION" + std::to_string(i);
    master += name + "\r\n";
    source += "      CALL " + name + "\r\n";
    list += name + "\r\n";
  }
  WriteWholeFile("MASTERFD.LIS", master);
  WriteWholeFile("DEMO.FOR", source);
  ASSERT_GT(list.size(), 2u * TRANSFER_BUFFER_SIZE);
  // DEMO.FIH is empty: writes 1 to 3 are DEMO.FDH's two full buffers and its rest.
  for (const int32_t failing : {2, 3}) {
    const JobOutcome outcome = RunJobFailing(testing::FileCall::WRITE, failing, IO_DISK_FULL);
    EXPECT_EQ(outcome.end, JobEnd::NOT_WRITTEN);
    const std::string written = ReadWholeFile("DEMO.FDH");
    ASSERT_GE(written.size(), 2u) << failing;
    EXPECT_EQ(written.substr(written.size() - 2), "\r\n") << failing;
    EXPECT_EQ(list.substr(0, written.size()), written) << failing;
  }
}

// When a failed block or report line cannot be taken back either, the output
// may hold part of it: the job ends on that file instead of completing.
TEST(RunJob, AFailedTakeBackEndsTheJob) {
  const struct {
    int32_t write;
    const char* file;
  } cases[] = {{BLOCK_WRITE, "DEMO.FD"}, {REPORT_LINE_WRITE, "DEMO.PRE"}};
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    WriteJobInputs(kInputs);
    const JobOutcome outcome =
        RunJobFailing(testing::FileCall::WRITE, c.write, IO_DISK_FULL, testing::FileCall::TRUNCATE);
    EXPECT_EQ(outcome.end, JobEnd::NOT_WRITTEN) << c.file;
    EXPECT_EQ(Trimmed(outcome.file), c.file);
    EXPECT_EQ(outcome.reason, IO_DISK_FULL);
    EXPECT_TRUE(outcome.fileIncomplete) << c.file;
    EXPECT_FALSE(FileExists("DEMO.FI")) << c.file;
  }
}

// A used-symbol list longer than the transfer buffer whose second write-out
// fails, and the take-back to its last whole line with it: a take-back that
// fails once is made again, so the list ends in a whole line; one that keeps
// failing leaves the list named incomplete.
TEST(RunJob, AUsedListWhoseTakeBackFailsEndsWholeOrNamedIncomplete) {
  for (const bool everyLaterCutFails : {false, true}) {
    ScratchDirectory scratch;
    WriteJobInputs(kInputs);
    std::string master;
    std::string source;
    for (int i = 0; i < 100; ++i) {
      const std::string name = "CREATEELLIPTICREGION" + std::to_string(i);
      master += name + "\r\n";
      source += "      CALL " + name + "\r\n";
    }
    WriteWholeFile("MASTERFD.LIS", master);
    WriteWholeFile("DEMO.FOR", source);
    // Truncations: DEMO.FIH emptied, DEMO.FDH emptied and cut at its first
    // write; the 4th is the take-back after its second write-out failed.
    std::optional<testing::FailingFileServices> failingCalls;
    std::optional<TracedFileServices> failingWrite;
    if (everyLaterCutFails) {
      failingCalls.emplace(testing::FileCall::WRITE, 2, IO_DISK_FULL, testing::FileCall::TRUNCATE);
    } else {
      failingCalls.emplace(testing::FileCall::TRUNCATE, 4, IO_DISK_FULL);
      failingWrite.emplace("CREATEELLIPTICREGION60");
    }
    const JobOutcome outcome = RunJob(programName);
    failingWrite.reset();
    failingCalls.reset();
    EXPECT_EQ(testing::FileCallCount(testing::FileCall::TRUNCATE), 5);  // the take-back made again
    EXPECT_EQ(outcome.end, JobEnd::NOT_WRITTEN);
    EXPECT_EQ(Trimmed(outcome.file), "DEMO.FDH");
    EXPECT_EQ(outcome.fileIncomplete, everyLaterCutFails);
    const std::string written = ReadWholeFile("DEMO.FDH");
    EXPECT_EQ(written.size() % 2 == 0 && written.substr(written.size() - 2) == "\r\n",
              !everyLaterCutFails);
  }
}

// While another job holds NAME.PRE's lock, a job for the program ends at once
// and writes nothing; once it is released, the job runs.
TEST(RunJob, SecondJobForTheProgramEndsAtOnce) {
  ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  OsHandle held = NO_OS_HANDLE;
  bool created = false;
  ASSERT_EQ(HostFileServices().lock("DEMO.PRE", &held, &created), IO_OK);
  const JobOutcome outcome = RunJob(programName);
  EXPECT_EQ(outcome.end, JobEnd::LOCKED);
  EXPECT_EQ(Trimmed(outcome.file), "DEMO.PRE");
  EXPECT_EQ(outcome.reason, IO_FILE_LOCKED);
  EXPECT_FALSE(FileExists("DEMO.FIH"));
  EXPECT_EQ(ReadWholeFile("DEMO.PRE"), "");
  HostFileServices().unlock(held);
  EXPECT_EQ(RunJob(programName).end, JobEnd::COMPLETE);
}

// The program reports a lock held by another job as its failed open of
// NAME.PRE: the run-time error and exit code 1.
TEST(RunJobDeathTest, ProgramEndsWithTheRunTimeErrorWhenNamePreIsLocked) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ScratchDirectory scratch;  // the child, which repeats the test, works in it too
  WriteJobInputs(kInputs);
  EXPECT_EXIT(
      {
        OsHandle held = NO_OS_HANDLE;
        bool created = false;
        HostFileServices().lock("DEMO.PRE", &held, &created);
        RunProgramJob(programName);
        std::exit(0);
      },
      ::testing::ExitedWithCode(1), "run-time error F6419: OPEN\\(DEMO.PRE\\)");
  EXPECT_FALSE(FileExists("DEMO.FIH"));
}

// The program's open of NAME.PRE fails just as well when NAME.PRE is a link
// that leads to no file; the file it leads to is not made.
TEST(RunJobDeathTest, ProgramEndsWithTheRunTimeErrorWhenNamePreLeadsNowhere) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  std::error_code error;
  // The child, which repeats the test in the same directory, finds it made.
  if (!std::filesystem::is_symlink("DEMO.PRE")) {
    std::filesystem::create_symlink("NEW.PRE", "DEMO.PRE", error);
  }
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
  EXPECT_EXIT(
      {
        RunProgramJob(programName);
        std::exit(0);
      },
      ::testing::ExitedWithCode(1), "run-time error F6425: OPEN\\(DEMO.PRE\\)");
  EXPECT_FALSE(FileExists("NEW.PRE"));
  EXPECT_FALSE(FileExists("DEMO.FIH"));
}

// Two names of one file, one of them written by the job, end it before
// anything is written; the file keeps its bytes.
TEST(RunJob, TwoNamesOfOneFileEndTheJobBeforeAnythingIsWritten) {
  const struct {
    const char* link;
    const char* target;
    const char* file;  // the written one the outcome names
    const char* sameFile;
  } cases[] = {
      {"DEMO.FD", "USER32.FD", "DEMO.FD", "USER32.FD"},
      {"DEMO.FDH", "MASTERFD.LIS", "DEMO.FDH", "MASTERFD.LIS"},
      {"DEMO.PRE", "DEMO.FOR", "DEMO.PRE", "DEMO.FOR"},
      {"DEMO.FI", "DEMO.FIH", "DEMO.FIH", "DEMO.FI"},
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    WriteJobInputs(kInputs);
    if (!FileExists(c.target)) WriteWholeFile(c.target, "KEPT\r\n");
    const std::string bytes = ReadWholeFile(c.target);
    std::filesystem::create_hard_link(c.target, c.link);
    const JobOutcome outcome = RunJob(programName);
    EXPECT_EQ(outcome.end, JobEnd::SAME_FILE) << c.link;
    EXPECT_EQ(Trimmed(outcome.file), c.file);
    EXPECT_EQ(Trimmed(outcome.sameFile), c.sameFile);
    EXPECT_EQ(ReadWholeFile(c.target), bytes) << c.link;
    for (const char* output : {"DEMO.FIH", "DEMO.FDH", "DEMO.FD", "DEMO.FI", "DEMO.PRE"}) {
      EXPECT_TRUE(FileExists(output) ==
                  (output == std::string(c.link) || output == std::string(c.target)))
          << c.link << ": " << output;
    }
  }
}

// A link is judged by where it leads, before anything is written: followed
// to a file, refused when it leads to no file (the job would make that file,
// perhaps under an input's name, or read one it made), never taken for a
// lock, and the file it leads to is not made.
TEST(RunJob, LinksAreJudgedByWhereTheyLead) {
  const struct {
    const char* link;
    const char* target;
    const char* removed;  // an input removed first, or nullptr
    JobEnd end;
    const char* file;  // the file the job ends on
  } cases[] = {
      {"DEMO.PRE", "NEW.PRE", nullptr, JobEnd::NOT_OPENED, "DEMO.PRE"},
      {"DEMO.FD", "DEMO.FI", nullptr, JobEnd::NOT_OPENED, "DEMO.FD"},
      {"DEMO.FIH", "DEMO.FDH", nullptr, JobEnd::NOT_OPENED, "DEMO.FIH"},
      {"DEMO.FIH", "MASTERFD.LIS", "MASTERFD.LIS", JobEnd::NOT_OPENED, "DEMO.FIH"},
      {"DEMO.FI", "GDI32.FI", nullptr, JobEnd::NOT_OPENED, "DEMO.FI"},
      {"GDI32.FD", "DEMO.FD", nullptr, JobEnd::NOT_OPENED, "GDI32.FD"},
      {"DEMO.FDH", "DEMO.FDH", nullptr, JobEnd::NOT_OPENED, "DEMO.FDH"},  // a loop
      {"DEMO.FD", "OUT.FD", nullptr, JobEnd::COMPLETE, ""},               // OUT.FD exists
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    WriteJobInputs(kInputs);
    if (c.removed != nullptr) std::filesystem::remove(c.removed);
    if (c.end == JobEnd::COMPLETE) WriteWholeFile(c.target, "OLD\r\n");
    std::error_code error;
    std::filesystem::create_symlink(c.target, c.link, error);
    if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
    const JobOutcome outcome = RunJob(programName);
    EXPECT_EQ(outcome.end, c.end) << c.link << " -> " << c.target;
    EXPECT_EQ(Trimmed(outcome.file), c.file) << c.link;
    if (c.end == JobEnd::COMPLETE) {
      EXPECT_EQ(ReadWholeFile(c.target), CrLf({"      INTEGER GETDC"}));
      continue;
    }
    EXPECT_EQ(outcome.reason, IO_DANGLING_LINK) << c.link;
    EXPECT_TRUE(std::filesystem::is_symlink(c.link)) << c.link;
    std::filesystem::remove(c.link);
    for (const char* output :
         {c.target, "DEMO.FIH", "DEMO.FDH", "DEMO.FD", "DEMO.FI", "DEMO.PRE"}) {
      EXPECT_FALSE(FileExists(output)) << c.link << ": " << output << " was made";
    }
  }
}

// The NAME.PRE the lock made goes with every end before the report is
// opened: a return, and the process's end on a fatal file error (the at-exit
// removal, called here as the process end calls it). Once the report was
// opened it stays, however the job ends.
TEST(RunJob, TheLockFileGoesWithEveryEndBeforeTheReport) {
  const struct {
    const char* change;  // what is changed in the directory first
    int32_t failingClose;
    bool reportStays;
  } cases[] = {
      {"MASTERFD.LIS removed", 0, false},         // the job returns
      {"DEMO.FD linked to USER32.FD", 0, false},  // refused
      {"", 1, false},                             // MASTERFI.LIS cannot be closed
      {"", 7, true},                              // DEMO.FDH, after the report's open
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    WriteJobInputs(kInputs);
    if (c.change[0] == 'M') std::filesystem::remove("MASTERFD.LIS");
    if (c.change[0] == 'D') std::filesystem::create_hard_link("USER32.FD", "DEMO.FD");
    {
      const testing::FailingFileServices failingCalls(testing::FileCall::CLOSE, c.failingClose,
                                                      IO_DISK_FULL);
      // The run-time error's own report, and the process end, are replaced:
      // the job stops at its CLOSE and the removal runs as at the end.
      FileServices stopping = CurrentFileServices();
      stopping.writeStandardError = [](const char*, int32_t) { throw 0; };
      if (c.failingClose != 0) {
        UseFileServices(&stopping);
        EXPECT_THROW(RunJob(programName), int);
        RemoveUnkeptJobLockFile();
        CloseAllFiles();
        ReleaseJobLock();
      } else {
        RunJob(programName);
      }
    }
    EXPECT_EQ(FileExists("DEMO.PRE"), c.reportStays) << c.change << c.failingClose;
  }
}

}  // namespace
}  // namespace pk
