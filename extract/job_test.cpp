#include "extract/job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "extract/test_directory.h"
#include "records/record_file.h"

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

TEST(RunJob, CompleteJobWritesEveryFile) {
  ScratchDirectory scratch;
  WriteInputs();
  const JobOutcome outcome = RunJob(programName);
  EXPECT_EQ(outcome.end, JobEnd::COMPLETE);
  EXPECT_EQ(ReadWholeFile("DEMO.FIH"), CrLf({"MSG"}));
  EXPECT_EQ(ReadWholeFile("DEMO.FDH"), CrLf({"GETDC", "BEEP"}));
  EXPECT_EQ(ReadWholeFile("DEMO.FD"), CrLf({"      INTEGER GETDC"}));
  EXPECT_EQ(ReadWholeFile("DEMO.FI"), CrLf({"      STRUCTURE /MSG/"}));
  EXPECT_EQ(ReadWholeFile("DEMO.PRE"),
            CrLf({"       2 FD Symbols were specified", "       1 FD Symbols were not found",
                  " FD Symbols not found:", "BEEP", "       1 FI Symbols were specified",
                  "       0 FI Symbols were not found"}));
}

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

TEST(RunJob, ProgramNamedLikeALibraryTouchesNoFile) {
  ScratchDirectory scratch;
  WriteInputs();
  char name[31] = "user32";
  const JobOutcome outcome = RunJob(name);
  EXPECT_EQ(outcome.end, JobEnd::LIBRARY_NAME);
  EXPECT_EQ(FileOf(outcome), "user32.FD");
  EXPECT_EQ(ReadWholeFile("USER32.FD"), CrLf({"C*GETDC", "      INTEGER GETDC"}));
  EXPECT_FALSE(FileExists("user32.FIH"));
}

}  // namespace
}  // namespace pk
