#include "batch/batch_setup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "batch/missing_symbols.h"
#include "testing/failing_file_services.h"
#include "testing/files.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

using testing::ScratchDirectory;
using testing::WriteWholeFile;

std::set<std::string> present;

bool InPresentDirectory(const char* directory, int32_t length) {
  return present.count(std::string(directory, static_cast<size_t>(length))) != 0;
}

bool IsPresentFile(const char* name) {
  return present.count(name) != 0;
}

TEST(ChooseLibraryDirectory, TakesTheFirstPlaceThatApplies) {
  using S = LibraryDirectorySource;
  const std::string tooLong(LIBRARY_DIRECTORY_LENGTH + 1, 'd');
  const struct {
    const char* option;
    const char* environment;
    const char* executable;
    std::set<std::string> holding;  // directories with a master list; "" the current one
    S source;
    std::string directory;
  } cases[] = {
      {"lib", "env", "/opt/bin", {"", "/opt/bin"}, S::OPTION, "lib"},
      {nullptr, "env", "/opt/bin", {"", "/opt/bin"}, S::CURRENT, ""},
      {nullptr, "env", "/opt/bin", {"/opt/bin"}, S::ENVIRONMENT, "env"},
      {nullptr, "", "/opt/bin", {"/opt/bin"}, S::EXECUTABLE, "/opt/bin"},
      {nullptr, nullptr, "/opt/bin", {}, S::INSTALLED, "/opt/bin/../share/pareskit"},
      {nullptr, nullptr, "/", {}, S::INSTALLED, "/../share/pareskit"},
      {nullptr, nullptr, nullptr, {}, S::CURRENT_FALLBACK, ""},
      {tooLong.c_str(), nullptr, nullptr, {}, S::OPTION, ""},
  };
  for (const auto& c : cases) {
    present = c.holding;
    const LibraryDirectoryChoice choice =
        ChooseLibraryDirectory(c.option, c.environment, c.executable, InPresentDirectory);
    EXPECT_EQ(choice.source, c.source) << c.directory;
    EXPECT_EQ(std::string(choice.chars, static_cast<size_t>(choice.length)), c.directory);
    EXPECT_EQ(choice.tooLong, c.option == tooLong.c_str());
  }
}

TEST(ChooseSource, FixedFormFirstThenFreeForm) {
  const struct {
    bool freeForm;
    std::set<std::string> files;
    SourceForm form;
    const char* extension;
  } cases[] = {
      {false, {"P.FOR", "P.f90"}, SourceForm::FIXED, "FOR"},
      {false, {"P.f90", "P.F90"}, SourceForm::FREE, "f90"},
      {false, {"P.F90"}, SourceForm::FREE, "F90"},
      {false, {}, SourceForm::FIXED, "FOR"},
      {true, {"P.FOR", "P.F90"}, SourceForm::FREE, "F90"},
      {true, {"P.FOR"}, SourceForm::FREE, "f90"},
      {false, {"P.f08", "P.F95"}, SourceForm::FREE, "F95"},
      {true, {"P.F03"}, SourceForm::FREE, "F03"},
  };
  for (const auto& c : cases) {
    present = c.files;
    const SourceChoice choice = ChooseSource("P", c.freeForm, IsPresentFile);
    EXPECT_EQ(choice.form, c.form) << c.extension;
    EXPECT_EQ(std::string(choice.extension, 3), c.extension);
  }
}

TEST(HoldsMasterList, EitherListWillDo) {
  ScratchDirectory scratch;
  std::filesystem::create_directories("fi");
  std::filesystem::create_directories("fd/MASTERFI.LIS");  // a directory is no list
  std::filesystem::create_directories("none");
  WriteWholeFile("fi/MASTERFI.LIS", "");
  WriteWholeFile("fd/MASTERFD.LIS", "");
  EXPECT_TRUE(HoldsMasterList("fi", 2));
  EXPECT_TRUE(HoldsMasterList("fd/", 3));
  EXPECT_FALSE(HoldsMasterList("none", 4));
  EXPECT_FALSE(HoldsMasterList("", 0));
  EXPECT_TRUE(FileOpensForReading("fi/MASTERFI.LIS"));
  EXPECT_FALSE(FileOpensForReading("fd/MASTERFI.LIS"));
}

TEST(ExecutableDirectory, IsTheDirectoryOfTheTestProgram) {
  char directory[MAX_FILE_NAME + 1];
  ASSERT_TRUE(ExecutableDirectory(directory, static_cast<int32_t>(sizeof directory)));
  const std::filesystem::path program = ::testing::internal::GetArgvs()[0];
  EXPECT_TRUE(
      std::filesystem::equivalent(directory, std::filesystem::absolute(program).parent_path()));
  const testing::FailingFileServices failingCalls(testing::FileCall::EXECUTABLE_PATH, 1,
                                                  IO_INVALID_REQUEST);
  EXPECT_FALSE(ExecutableDirectory(directory, static_cast<int32_t>(sizeof directory)));
}

TEST(ReadLibrarySetVersion, TakesTheFirstVersionLineBeforeTheFirstHeader) {
  const struct {
    const char* user32;  // nullptr: no USER32.FD
    bool known;
    const char* version;
    const char* details;
  } cases[] = {
      {"C     USER32.FD: constants\r\nC     Library set 3.0 (generator 3.0, headers 10)\r\n"
       "C     Library set 4.0 (a second)\r\nC*A\r\n",
       true, "3.0", "generator 3.0, headers 10"},
      {"C*A\r\nC     Library set 3.0 (after the first header)\r\n", false, "unknown", ""},
      {"C     Library set 3.0\r\nC     Library set  (no version)\r\n", false, "unknown", ""},
      {"C     Library set 3.0 x (details)\r\n", false, "unknown", ""},
      {nullptr, false, "unknown", ""},
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    if (c.user32 != nullptr) WriteWholeFile("USER32.FD", c.user32);
    const LibrarySetVersion version = ReadLibrarySetVersion(CURRENT_DIRECTORY);
    EXPECT_EQ(version.known, c.known) << c.version;
    EXPECT_STREQ(version.version, c.version);
    EXPECT_STREQ(version.details, c.details);
  }
}

// The driver's own reads answer as they read even when every close fails:
// such a close ends no process, so a job's summary still follows.
TEST(DriverReads, SurviveFailedCloses) {
  ScratchDirectory scratch;
  WriteWholeFile("MASTERFI.LIS", "MSG\r\n");
  WriteWholeFile("USER32.FD", "C     Library set 3.0 (x)\r\nC*A\r\n");
  const testing::FailingFileServices failingCalls(testing::FileCall::CLOSE, 1, IO_CLOSE_FAILED,
                                                  testing::FileCall::CLOSE);
  EXPECT_TRUE(HoldsMasterList("", 0));
  EXPECT_TRUE(FileOpensForReading("MASTERFI.LIS"));
  EXPECT_STREQ(ReadLibrarySetVersion(CURRENT_DIRECTORY).version, "3.0");
  static MissingSymbols missing;
  const JobObserver observer = ObserveMissingSymbols(missing);
  observer.kindCopied(observer.context, SymbolKind::FI, 1, 0, 1);
  observer.notFound(observer.context, SymbolKind::FI, "MSG", 3, nullptr, 0, false);
  ExplainMissingSymbols(missing, FileFaults{}, CURRENT_DIRECTORY);
  EXPECT_TRUE(missing.libraryMissing[static_cast<int>(SymbolKind::FI)][0]);
  EXPECT_EQ(testing::FileCallCount(testing::FileCall::CLOSE), 4);
}

}  // namespace
}  // namespace pk
