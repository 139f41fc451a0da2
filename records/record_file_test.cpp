#include "records/record_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "testing/failing_file_services.h"
#include "testing/files.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

using testing::FileCall;
using testing::FileExists;
using testing::ReadWholeFile;
using testing::WriteWholeFile;

class RecordFileTest : public ::testing::Test {
 protected:
  void TearDown() override { CloseAllFiles(); }

  static IoStatus Open(const std::string& name, OpenStatus status = OpenStatus::UNKNOWN,
                       int32_t unit = UNIT_INPUT) {
    return OpenFile(unit, name.data(), static_cast<int32_t>(name.size()), status);
  }

  // Every line of `name` as ReadLine gives it, trailing blanks removed, "|" after each.
  static std::string ReadAllLines(const std::string& name) {
    EXPECT_EQ(Open(name, OpenStatus::OLD), IO_OK);
    std::string lines;
    LineRecord line;
    while (ReadLine(UNIT_INPUT, line) == IO_OK) {
      std::string text(line.chars, LINE_LENGTH);
      text.erase(text.find_last_not_of(' ') + 1);
      lines += text + "|";
    }
    CloseFile(UNIT_INPUT);
    return lines;
  }

  testing::ScratchDirectory scratch_;
};

TEST_F(RecordFileTest, LinesEndAtLfCrLfOrEndOfFile) {
  WriteWholeFile("a.txt", "ONE\r\nTWO\nTHREE");
  EXPECT_EQ(ReadAllLines("a.txt"), "ONE|TWO|THREE|");
}

// Pieces of lines of any length: "+" after a piece the line goes on from, "|"
// after a line's last, "$" for the end of the file.
TEST_F(RecordFileTest, LinePiecesTakeWholeLinesOfAnyLength) {
  const struct {
    std::string bytes;
    std::string pieces;
  } cases[] = {
      {"ABCDEFG\r\nHI\n", "ABC+DEF+G|HI|$"}, {"ABC\nDEF", "ABC|DEF|$"},   {"ABCDEF", "ABC+DEF|$"},
      {"ABCDEF\r\n", "ABC+DEF|$"},           {"AB\rCDEFGH\nI", "AB|I|$"}, {"\n\n", "||$"},
  };
  for (const auto& c : cases) {
    WriteWholeFile("a.txt", c.bytes);
    ASSERT_EQ(Open("a.txt", OpenStatus::OLD), IO_OK);
    std::string pieces;
    char text[3];
    int32_t count = 0;
    bool lineEnds = false;
    IoStatus status;
    while ((status = ReadLinePiece(UNIT_INPUT, text, 3, &count, &lineEnds)) == IO_OK) {
      pieces += std::string(text, static_cast<size_t>(count)) + (lineEnds ? "|" : "+");
    }
    EXPECT_EQ(status, IO_END_OF_FILE);
    EXPECT_EQ(pieces + "$", c.pieces) << c.bytes;
    CloseFile(UNIT_INPUT);
  }
}

TEST_F(RecordFileTest, EmptyLineIsAllBlanksAndEmptyFileIsEndOfFile) {
  WriteWholeFile("a.txt", "\r\nX\r\n");
  WriteWholeFile("empty.txt", "");
  ASSERT_EQ(Open("a.txt", OpenStatus::OLD), IO_OK);
  LineRecord line;
  ASSERT_EQ(ReadLine(UNIT_INPUT, line), IO_OK);
  EXPECT_EQ(std::string(line.chars, LINE_LENGTH), std::string(LINE_LENGTH, ' '));
  CloseFile(UNIT_INPUT);
  ASSERT_EQ(Open("empty.txt", OpenStatus::OLD), IO_OK);
  EXPECT_EQ(ReadLine(UNIT_INPUT, line), IO_END_OF_FILE);
}

TEST_F(RecordFileTest, LongLineIsCutAfterColumn80AndItsTailSkipped) {
  WriteWholeFile("a.txt",
                 std::string(100, 'x') + "\r\nNEXT\r\n" + std::string(3000, 'y') + "\nLAST");
  EXPECT_EQ(ReadAllLines("a.txt"),
            std::string(80, 'x') + "|NEXT|" + std::string(80, 'y') + "|LAST|");
}

TEST_F(RecordFileTest, CarriageReturnEndsTheUsefulPartOfALine) {
  WriteWholeFile("a.txt", "AB\rCD\nEF");
  EXPECT_EQ(ReadAllLines("a.txt"), "AB|EF|");
  WriteWholeFile("cr.txt", "ONE\rTWO\rTHREE\r");
  EXPECT_EQ(ReadAllLines("cr.txt"), "ONE|");
}

TEST_F(RecordFileTest, TabsNulsAndHighBytesStayUnchanged) {
  WriteWholeFile("a.txt", std::string("A\tB\0C\x1a\xe9", 7) + "\r\n");
  ASSERT_EQ(Open("a.txt", OpenStatus::OLD), IO_OK);
  LineRecord line;
  ASSERT_EQ(ReadLine(UNIT_INPUT, line), IO_OK);
  EXPECT_EQ(std::string(line.chars, 8), std::string("A\tB\0C\x1a\xe9 ", 8));
}

TEST_F(RecordFileTest, LastLineWithoutLineFeedAtABufferBoundary) {
  // 1023 characters and a line feed, then a last line ending exactly at 2048 bytes.
  std::string bytes = std::string(1023, 'a') + "\n" + std::string(1024, 'b');
  WriteWholeFile("a.txt", bytes);
  ASSERT_EQ(Open("a.txt", OpenStatus::OLD), IO_OK);
  LineRecord line;
  EXPECT_EQ(ReadLine(UNIT_INPUT, line), IO_OK);
  EXPECT_EQ(ReadLine(UNIT_INPUT, line), IO_OK);
  EXPECT_EQ(line.At(1), 'b');
  EXPECT_EQ(ReadLine(UNIT_INPUT, line), IO_END_OF_FILE);
  EXPECT_EQ(line.At(1), 'b');  // unchanged by the read that met the end
}

// A line whose CR, LF or 80th column falls on either side of the 1024-byte
// refill reads as anywhere else.
TEST_F(RecordFileTest, LinesReadTheSameAcrossTheRefillBoundary) {
  for (const int length : {940, 941, 942, 943, 944, 945, 1020, 1021, 1022, 1023, 1024, 1025}) {
    WriteWholeFile("a.txt", std::string(static_cast<size_t>(length), 'a') + "\r\n" +
                                std::string(100, 'b') + "\r\nEND");
    EXPECT_EQ(ReadAllLines("a.txt"), std::string(80, 'a') + "|" + std::string(80, 'b') + "|END|")
        << length;
  }
}

TEST_F(RecordFileTest, EndOfFileStaysEndOfFileEvenWhenTheFileGrows) {
  WriteWholeFile("a.txt", "ONE\n");
  ASSERT_EQ(Open("a.txt", OpenStatus::OLD), IO_OK);
  LineRecord line;
  ASSERT_EQ(ReadLine(UNIT_INPUT, line), IO_OK);
  ASSERT_EQ(ReadLine(UNIT_INPUT, line), IO_END_OF_FILE);
  WriteWholeFile("a.txt", "ONE\nTWO\n");
  EXPECT_EQ(ReadLine(UNIT_INPUT, line), IO_END_OF_FILE);
}

TEST_F(RecordFileTest, OpenStatusesResolveAgainstTheFileSystem) {
  EXPECT_EQ(Open("missing.txt", OpenStatus::OLD), IO_FILE_NOT_FOUND);
  EXPECT_FALSE(IsUnitAttached(UNIT_INPUT));
  CloseFile(UNIT_INPUT);  // nothing attached: does nothing
  EXPECT_FALSE(FileExists("missing.txt"));

  EXPECT_EQ(Open("created.txt", OpenStatus::UNKNOWN), IO_OK);
  CloseFile(UNIT_INPUT);
  EXPECT_TRUE(FileExists("created.txt"));
}

TEST_F(RecordFileTest, NameIsTrimmedOfBlanks) {
  WriteWholeFile("LIB.FD", "X\n");
  const char name[12] = {'L', 'I', 'B', '.', 'F', 'D', ' ', ' ', ' ', ' ', ' ', ' '};
  EXPECT_EQ(OpenFile(UNIT_INPUT, name, 12, OpenStatus::OLD), IO_OK);
  EXPECT_EQ(OpenFile(UNIT_OUTPUT, "  LIB.FD  ", 10, OpenStatus::OLD), IO_OK);
  EXPECT_EQ(OpenFile(UNIT_REPORT, "      ", 6, OpenStatus::UNKNOWN), IO_INVALID_REQUEST);
}

TEST_F(RecordFileTest, DirectoryAsAFileNameIsAccessDenied) {
  std::filesystem::create_directory("DIR.FD");
  EXPECT_EQ(Open("DIR.FD", OpenStatus::OLD), IO_ACCESS_DENIED);
  EXPECT_EQ(Open("DIR.FD", OpenStatus::UNKNOWN), IO_ACCESS_DENIED);
}

// A device as an input would make reads wait or never end: it is refused at
// open like a directory. Each platform has some of these names, the other
// finds no such file.
TEST_F(RecordFileTest, InputThatIsNotARegularFileIsAccessDenied) {
  int refused = 0;
  for (const char* device : {"/dev/zero", "/dev/null", "NUL"}) {
    const IoStatus status = Open(device, OpenStatus::OLD);
    EXPECT_TRUE(status == IO_ACCESS_DENIED || status == IO_FILE_NOT_FOUND) << device << status;
    EXPECT_FALSE(IsUnitAttached(UNIT_INPUT)) << device;
    refused += status == IO_ACCESS_DENIED ? 1 : 0;
  }
  EXPECT_GE(refused, 1);
}

TEST_F(RecordFileTest, UnknownKeepsOldLinesUntilTheFirstWrite) {
  std::string tenLines;
  for (int i = 0; i < 10; ++i) tenLines += "OLD LINE\r\n";
  WriteWholeFile("kept.txt", tenLines);
  WriteWholeFile("cut.txt", tenLines);

  ASSERT_EQ(Open("kept.txt", OpenStatus::UNKNOWN, UNIT_OUTPUT), IO_OK);
  CloseFile(UNIT_OUTPUT);
  EXPECT_EQ(ReadWholeFile("kept.txt"), tenLines);

  ASSERT_EQ(Open("cut.txt", OpenStatus::UNKNOWN, UNIT_OUTPUT), IO_OK);
  EXPECT_EQ(WriteChars(UNIT_OUTPUT, "NEW", 3), IO_OK);
  EXPECT_EQ(WriteChars(UNIT_OUTPUT, "LINES", 5), IO_OK);
  CloseFile(UNIT_OUTPUT);
  EXPECT_EQ(ReadWholeFile("cut.txt"), "NEW\r\nLINES\r\n");
}

TEST_F(RecordFileTest, ReplaceEmptiesAnExistingFileAtOpen) {
  WriteWholeFile("stale.txt", "STALE\r\n");
  ASSERT_EQ(Open("stale.txt", OpenStatus::REPLACE, UNIT_OUTPUT), IO_OK);
  CloseFile(UNIT_OUTPUT);
  EXPECT_EQ(ReadWholeFile("stale.txt"), "");
  ASSERT_EQ(Open("fresh.txt", OpenStatus::REPLACE, UNIT_OUTPUT), IO_OK);
  CloseFile(UNIT_OUTPUT);
  EXPECT_TRUE(FileExists("fresh.txt"));
}

TEST_F(RecordFileTest, ReopeningTheSameNameOnAUnitKeepsItsPosition) {
  WriteWholeFile("a.txt", "ONE\nTWO\n");
  WriteWholeFile("b.txt", "B\n");
  ASSERT_EQ(Open("a.txt", OpenStatus::OLD), IO_OK);
  LineRecord line;
  ASSERT_EQ(ReadLine(UNIT_INPUT, line), IO_OK);
  EXPECT_EQ(Open("a.txt", OpenStatus::OLD), IO_OK);
  ASSERT_EQ(ReadLine(UNIT_INPUT, line), IO_OK);
  EXPECT_EQ(std::string(line.chars, 3), "TWO");
  // Another name on the same unit closes the first file.
  ASSERT_EQ(Open("b.txt", OpenStatus::OLD), IO_OK);
  ASSERT_EQ(ReadLine(UNIT_INPUT, line), IO_OK);
  EXPECT_EQ(line.At(1), 'B');
}

TEST_F(RecordFileTest, The62ndOpenFileIsRefusedAndCreatesNothing) {
  for (int32_t unit = 10; unit < 10 + UNIT_SLOTS; ++unit) {
    const std::string name = "f" + std::to_string(unit);
    ASSERT_EQ(Open(name, OpenStatus::UNKNOWN, unit), IO_OK) << unit;
  }
  EXPECT_EQ(Open("one-too-many", OpenStatus::UNKNOWN, 99), IO_UNITS_EXHAUSTED);
  EXPECT_FALSE(FileExists("one-too-many"));
  EXPECT_FALSE(IsUnitAttached(99));
}

TEST_F(RecordFileTest, CharacterRunsWriteCrLfLinesOf80) {
  ASSERT_EQ(Open("out.txt", OpenStatus::REPLACE, UNIT_OUTPUT), IO_OK);
  EXPECT_EQ(WriteChars(UNIT_OUTPUT, "", 0), IO_OK);
  EXPECT_EQ(WriteChars(UNIT_OUTPUT, "GETDC  ", 7), IO_OK);
  const std::string longRun(100, 'z');
  EXPECT_EQ(WriteChars(UNIT_OUTPUT, longRun.data(), 100), IO_OK);
  CloseFile(UNIT_OUTPUT);
  EXPECT_EQ(ReadWholeFile("out.txt"),
            "\r\nGETDC  \r\n" + std::string(80, 'z') + "\r\n" + std::string(20, 'z') + "\r\n");
}

TEST_F(RecordFileTest, FormattedRecordsWriteCountAndHeadingLines) {
  ASSERT_EQ(Open("out.txt", OpenStatus::REPLACE, UNIT_OUTPUT), IO_OK);
  const RecordItem counts[] = {
      IntegerItem(12, 8), TextItem(" FD", 3), TextItem(" Symbols", 8), RecordBreak(),
      IntegerItem(-5, 8), TextItem(" FI", 3), RecordBreak(),           IntegerItem(123456789, 8)};
  EXPECT_EQ(WriteRecord(UNIT_OUTPUT, counts, 8), IO_OK);
  CloseFile(UNIT_OUTPUT);
  EXPECT_EQ(ReadWholeFile("out.txt"), "      12 FD Symbols\r\n      -5 FI\r\n********\r\n");
}

TEST_F(RecordFileTest, ManyLinesSurviveTheTransferBuffer) {
  ASSERT_EQ(Open("out.txt", OpenStatus::REPLACE, UNIT_OUTPUT), IO_OK);
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    const std::string line = "LINE " + std::to_string(i);
    ASSERT_EQ(WriteChars(UNIT_OUTPUT, line.data(), static_cast<int32_t>(line.size())), IO_OK);
    expected += line + "\r\n";
  }
  CloseFile(UNIT_OUTPUT);
  EXPECT_EQ(ReadWholeFile("out.txt"), expected);
}

TEST_F(RecordFileTest, CutTakesBackWrittenAndBufferedBytes) {
  ASSERT_EQ(Open("out.txt", OpenStatus::REPLACE, UNIT_OUTPUT), IO_OK);
  ASSERT_EQ(WriteChars(UNIT_OUTPUT, "KEEP", 4), IO_OK);
  const int64_t kept = WrittenLength(UNIT_OUTPUT);
  EXPECT_EQ(kept, 6);
  const std::string longLine(70, 'x');
  for (int i = 0; i < 40; ++i) ASSERT_EQ(WriteChars(UNIT_OUTPUT, longLine.data(), 70), IO_OK);
  EXPECT_EQ(WrittenLength(UNIT_OUTPUT), 6 + 40 * 72);
  EXPECT_EQ(CutFile(UNIT_OUTPUT, kept), IO_OK);  // part on disk, part buffered
  ASSERT_EQ(WriteChars(UNIT_OUTPUT, "NEXT", 4), IO_OK);
  ASSERT_EQ(WriteChars(UNIT_OUTPUT, "GONE", 4), IO_OK);
  EXPECT_EQ(CutFile(UNIT_OUTPUT, kept + 6), IO_OK);  // buffered only
  CloseFile(UNIT_OUTPUT);
  EXPECT_EQ(ReadWholeFile("out.txt"), "KEEP\r\nNEXT\r\n");
}

TEST_F(RecordFileTest, ByteReadsContinueAndStopAtTheEnd) {
  WriteWholeFile("a.bin", "0123456789");
  ASSERT_EQ(Open("a.bin", OpenStatus::OLD, UNIT_LOGO), IO_OK);
  char two[2];
  char four[4];
  const ByteItem first[] = {{two, 2}, {four, 4}};
  EXPECT_EQ(ReadBytes(UNIT_LOGO, first, 2), IO_OK);
  EXPECT_EQ(std::string(four, 4), "2345");
  char fourteen[14] = {};
  char untouched[1] = {'u'};
  const ByteItem rest[] = {{fourteen, 14}, {untouched, 1}};
  EXPECT_EQ(ReadBytes(UNIT_LOGO, rest, 2), IO_END_OF_FILE);
  EXPECT_EQ(std::string(fourteen, 4), "6789");
  EXPECT_EQ(untouched[0], 'u');
  EXPECT_EQ(ReadBytes(UNIT_LOGO, first, 1), IO_END_OF_FILE);
}

TEST_F(RecordFileTest, ReadErrorIsReportedAndLeavesTheLineUnchanged) {
  WriteWholeFile("a.txt", "ONE\n");
  const testing::FailingFileServices failingCalls(FileCall::READ, 1, IO_READ_FAILED);
  ASSERT_EQ(Open("a.txt", OpenStatus::OLD), IO_OK);
  LineRecord line;
  AssignText(line, "BEFORE", 6);
  EXPECT_EQ(ReadLine(UNIT_INPUT, line), IO_READ_FAILED);
  EXPECT_EQ(std::string(line.chars, 6), "BEFORE");
  EXPECT_TRUE(IsUnitAttached(UNIT_INPUT));
}

TEST_F(RecordFileTest, FailedWriteDropsItsBytesOnce) {
  const testing::FailingFileServices failingCalls(FileCall::WRITE, 1, IO_DISK_FULL);
  ASSERT_EQ(Open("out.txt", OpenStatus::REPLACE, UNIT_OUTPUT), IO_OK);
  ASSERT_EQ(WriteChars(UNIT_OUTPUT, "LOST", 4), IO_OK);  // still in the buffer
  EXPECT_EQ(FlushFile(UNIT_OUTPUT), IO_DISK_FULL);
  EXPECT_EQ(WriteChars(UNIT_OUTPUT, "KEPT", 4), IO_OK);
  CloseFile(UNIT_OUTPUT);
  EXPECT_EQ(ReadWholeFile("out.txt"), "KEPT\r\n");
}

// A failed write-out takes the file back to its last whole line, also past
// bytes an earlier write-out put on disk. When that take-back fails too, the
// next cut reports it and, once it can, makes it.
TEST_F(RecordFileTest, FailedWriteOutGoesBackToTheLastWholeLine) {
  for (const bool takeBackFails : {false, true}) {
    std::optional<testing::FailingFileServices> failingCalls;
    if (takeBackFails) {
      failingCalls.emplace(FileCall::WRITE, 2, IO_DISK_FULL, FileCall::TRUNCATE);
    } else {
      failingCalls.emplace(FileCall::WRITE, 2, IO_DISK_FULL);
    }
    ASSERT_EQ(Open("out.txt", OpenStatus::REPLACE, UNIT_OUTPUT), IO_OK);
    std::string lines;
    IoStatus status = IO_OK;
    for (int i = 0; i < 60 && status == IO_OK; ++i) {
      const std::string line(41, static_cast<char>('a' + i % 26));
      status = WriteChars(UNIT_OUTPUT, line.data(), static_cast<int32_t>(line.size()));
      if (status == IO_OK) lines += line + "\r\n";
    }
    EXPECT_EQ(status, IO_DISK_FULL);
    const int64_t whole = WrittenLength(UNIT_OUTPUT);
    EXPECT_EQ(whole, 1024 / 43 * 43) << takeBackFails;  // the lines wholly in the first 1024 bytes
    EXPECT_EQ(CutFile(UNIT_OUTPUT, whole), takeBackFails ? IO_DISK_FULL : IO_OK);
    failingCalls.reset();
    EXPECT_EQ(CutFile(UNIT_OUTPUT, whole), IO_OK);
    CloseFile(UNIT_OUTPUT);
    EXPECT_EQ(ReadWholeFile("out.txt"), lines.substr(0, static_cast<size_t>(whole)));
  }
}

TEST_F(RecordFileTest, RefusedReadWriteAccessFallsBackToReadOnly) {
  WriteWholeFile("ro.txt", "DATA\n");
  const testing::FailingFileServices failingCalls(FileCall::OPEN, 1, IO_ACCESS_DENIED);
  ASSERT_EQ(Open("ro.txt", OpenStatus::OLD), IO_OK);
  LineRecord line;
  EXPECT_EQ(ReadLine(UNIT_INPUT, line), IO_OK);
  EXPECT_EQ(testing::FileCallCount(FileCall::OPEN), 2);
  // Writing to the read-only handle is refused, and the file is unchanged.
  EXPECT_EQ(WriteChars(UNIT_INPUT, "X", 1), IO_WRITE_REFUSED);
  CloseFile(UNIT_INPUT);
  EXPECT_EQ(ReadWholeFile("ro.txt"), "DATA\n");
}

// An output's open tells why it could not be opened for writing: a
// read-only handle, which could not empty it, is never tried.
TEST_F(RecordFileTest, AnOutputRefusedForWritingTellsItsOwnReason) {
  static IoStatus refusal;
  FileServices onlyReads = HostFileServices();
  onlyReads.open = [](const char* name, OsAccess access, OsCreation creation, OsHandle* handle) {
    if (access != OsAccess::READ_ONLY) return refusal;
    return HostFileServices().open(name, access, creation, handle);
  };
  UseFileServices(&onlyReads);
  for (const IoStatus error : {IO_ACCESS_DENIED, IO_DISK_FULL, IO_NO_HANDLES, IO_FILE_BUSY}) {
    refusal = error;
    WriteWholeFile("out.txt", "OLD\r\n");
    EXPECT_EQ(Open("out.txt", OpenStatus::REPLACE, UNIT_OUTPUT), error);
    EXPECT_FALSE(IsUnitAttached(UNIT_OUTPUT));
    EXPECT_EQ(ReadWholeFile("out.txt"), "OLD\r\n");
  }
  UseFileServices(nullptr);
  // Refused read-write once, it is opened write-only and emptied.
  const testing::FailingFileServices failingCalls(FileCall::OPEN, 1, IO_DISK_FULL);
  ASSERT_EQ(Open("out.txt", OpenStatus::REPLACE, UNIT_OUTPUT), IO_OK);
  EXPECT_EQ(WriteChars(UNIT_OUTPUT, "NEW", 3), IO_OK);
  CloseFile(UNIT_OUTPUT);
  EXPECT_EQ(ReadWholeFile("out.txt"), "NEW\r\n");
}

TEST_F(RecordFileTest, AllThreeAccessesRefusedGiveTheLastError) {
  const testing::FailingFileServices failingCalls(FileCall::OPEN, 3, IO_NO_HANDLES);
  // The first two attempts fail naturally (OLD, missing), the third by injection.
  EXPECT_EQ(Open("missing.txt", OpenStatus::OLD), IO_NO_HANDLES);
  EXPECT_FALSE(IsUnitAttached(UNIT_INPUT));
}

// The host's reads may run ahead of the caller's: what they return, and
// where a write or a cut lands, is still as if each read went to the OS.
TEST_F(RecordFileTest, HostReadsKeepTheirPlaceBesideOtherFilesWritesAndCuts) {
  std::string a, b;
  for (int i = 0; i < 200000; ++i) {
    a += static_cast<char>('a' + i % 23);
    b += static_cast<char>('A' + i % 19);
  }
  WriteWholeFile("a.bin", a);
  WriteWholeFile("b.bin", b);
  const FileServices& os = HostFileServices();
  OsHandle fileA = NO_OS_HANDLE, fileB = NO_OS_HANDLE;
  ASSERT_EQ(os.open("a.bin", OsAccess::READ_WRITE, OsCreation::MUST_EXIST, &fileA), IO_OK);
  ASSERT_EQ(os.open("b.bin", OsAccess::READ_WRITE, OsCreation::MUST_EXIST, &fileB), IO_OK);
  auto read = [&os](OsHandle handle, int32_t count) {
    std::string bytes(static_cast<size_t>(count), '?');
    int32_t received = -1;
    EXPECT_EQ(os.read(handle, bytes.data(), count, &received), IO_OK);
    bytes.resize(static_cast<size_t>(received));
    return bytes;
  };
  EXPECT_EQ(read(fileA, 1000), a.substr(0, 1000));
  EXPECT_EQ(read(fileB, 1000), b.substr(0, 1000));
  EXPECT_EQ(read(fileA, 1000), a.substr(1000, 1000));
  ASSERT_EQ(os.write(fileA, "XYZ", 3), IO_OK);  // at 2000
  EXPECT_EQ(read(fileA, 10), a.substr(2003, 10));
  std::string rest;
  while (rest.size() < 70000) rest += read(fileB, 1024);
  EXPECT_EQ(rest, b.substr(1000, rest.size()));
  ASSERT_EQ(os.truncate(fileA, 5000), IO_OK);
  EXPECT_EQ(read(fileA, 10), "");
  EXPECT_EQ(os.close(fileA), IO_OK);
  EXPECT_EQ(os.close(fileB), IO_OK);
  EXPECT_EQ(ReadWholeFile("a.bin"), a.substr(0, 2000) + "XYZ" + a.substr(2003, 2997));
}

// Death tests run their statement in a child process (on Win32 a new run of
// this binary that repeats the test up to the statement), so they use fixed
// absolute paths instead of a scratch directory the child would make anew.
std::string DeathTestPath(const std::string& name) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / "pareskit-record-file-death";
  std::filesystem::create_directories(folder);
  return (folder / name).string();
}

TEST(RecordFileDeathTest, FailedCloseEndsTheProcessWithARunTimeError) {
  const std::string name = DeathTestPath("OUT.TXT");
  EXPECT_EXIT(
      {
        const testing::FailingFileServices failingCalls(FileCall::WRITE, 1, IO_DISK_FULL);
        OpenFile(UNIT_OUTPUT, name.data(), static_cast<int32_t>(name.size()), OpenStatus::REPLACE);
        WriteChars(UNIT_OUTPUT, "X", 1);
        CloseFile(UNIT_OUTPUT);
        std::exit(0);
      },
      ::testing::ExitedWithCode(1),
      "\nrun-time error F6422: CLOSE\\(.*OUT.TXT\\)\n- the disk is full");
}

TEST(RecordFileDeathTest, FailedStatuslessOpenEndsTheProcessWithARunTimeError) {
  const std::string name = DeathTestPath("DEMO.PRE");
  std::filesystem::create_directories(name);
  EXPECT_EXIT(OpenFileOrDie(UNIT_REPORT, name.data(), static_cast<int32_t>(name.size())),
              ::testing::ExitedWithCode(1),
              "run-time error F6414: OPEN\\(.*DEMO.PRE\\)\n- access to the file is denied");
}

TEST(RecordFileDeathTest, ProcessEndClosesFilesSoBufferedLinesAreKept) {
  const std::string name = DeathTestPath("end.txt");
  std::filesystem::remove(name);
  EXPECT_EXIT(
      {
        OpenFile(UNIT_REPORT, name.data(), static_cast<int32_t>(name.size()), OpenStatus::REPLACE);
        WriteChars(UNIT_REPORT, "BUFFERED", 8);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadWholeFile(name), "BUFFERED\r\n");
}

}  // namespace
}  // namespace pk
