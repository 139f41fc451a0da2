#include "extract/job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "extract/library_table.h"
#include "extract/test_directory.h"
#include "records/record_file.h"
#include "records/testing/failing_file_services.h"

namespace pk {
namespace {

std::string FileOf(const JobOutcome& outcome) {
  std::string name(outcome.file.chars, JOB_FILE_NAME_LENGTH);
  return name.substr(0, name.find_last_not_of(' ') + 1);
}

void WriteInputs() {
  WriteWholeFile("MASTERFI.LIS", CrLf({"MSG"}));
  WriteWholeFile("MASTERFD.LIS", CrLf({"GETDC", "BEEP"}));
  WriteWholeFile("DEMO.FOR", CrLf({"      CALL GETDC(MSG)", "      CALL BEEP"}));
  WriteWholeFile("USER32.FD", CrLf({"C*GETDC", "      INTEGER GETDC"}));
  WriteWholeFile("USER32.FI", CrLf({"C*MSG", "      STRUCTURE /MSG/"}));
}

char programName[31] = "DEMO";

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
    WriteInputs();
    std::filesystem::remove(c.missing);
    const JobOutcome outcome = RunJob(programName);
    EXPECT_EQ(outcome.end, JobEnd::NOT_OPENED) << c.missing;
    EXPECT_EQ(FileOf(outcome), c.missing);
    EXPECT_FALSE(FileExists(c.firstUnwritten)) << c.missing;
    EXPECT_FALSE(FileExists("DEMO.PRE")) << c.missing;
  }
}

// A read error must not pass for the end of a list: the job ends instead of
// counting a cut list as the program's whole use.
TEST(RunJob, ReadErrorInTheSourceEndsTheJob) {
  ScratchDirectory scratch;
  WriteInputs();
  // Reads 1 and 2 take MASTERFI.LIS and its end; read 3 is DEMO.FOR's first.
  testing::InstallFailingFileServices(testing::FileCall::READ, 3, IO_READ_FAILED);
  const JobOutcome outcome = RunJob(programName);
  EXPECT_EQ(outcome.end, JobEnd::NOT_READ);
  EXPECT_EQ(FileOf(outcome), "DEMO.FOR");
  EXPECT_FALSE(FileExists("DEMO.PRE"));
}

TEST(RunJob, UsedListThatCannotBeWrittenEndsTheJob) {
  ScratchDirectory scratch;
  WriteInputs();
  TracedFileServices failing("BEEP");
  const JobOutcome outcome = RunJob(programName);
  EXPECT_EQ(outcome.end, JobEnd::NOT_WRITTEN);
  EXPECT_EQ(FileOf(outcome), "DEMO.FDH");
  EXPECT_FALSE(FileExists("DEMO.PRE"));
}

TEST(RunJob, OutputThatCannotBeOpenedEndsTheJobWithTheReportClosed) {
  ScratchDirectory scratch;
  WriteInputs();
  std::filesystem::create_directory("DEMO.FI");
  const JobOutcome outcome = RunJob(programName);
  EXPECT_EQ(outcome.end, JobEnd::NOT_OPENED);
  EXPECT_EQ(FileOf(outcome), "DEMO.FI");
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
    WriteInputs();
    testing::InstallFailingFileServices(c.call, c.number, c.error);
    const JobOutcome outcome = RunJob(programName);
    testing::RestoreHostFileServices();
    EXPECT_EQ(outcome.end, c.end) << c.error;
    EXPECT_EQ(outcome.reason, c.error);
  }
}

// With settings the lists and libraries come from the library directory and
// the source may be free form; everything written stays in the current one.
TEST(RunJob, SettingsNameTheSourceAndTheLibraryDirectory) {
  ScratchDirectory scratch;
  WriteInputs();
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
  EXPECT_EQ(FileOf(outcome), "MASTERFI.LIS");
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

}  // namespace
}  // namespace pk
