#include "extract/job_files.h"

#include <gtest/gtest.h>

#include <string>

#include "extract/library_table.h"

namespace pk {
namespace {

std::string Text(const JobFileName& name) {
  return std::string(name.chars, JOB_FILE_NAME_LENGTH);
}

std::string Padded(const std::string& text) {
  return text + std::string(JOB_FILE_NAME_LENGTH - text.size(), ' ');
}

TEST(MakeJobFiles, AppendsEachExtensionToTheNameAsEntered) {
  char field[31] = "demo\0xyz";
  const JobFiles jobFiles = MakeJobFiles(ProgramNameOf(field), "FOR");
  EXPECT_EQ(ProgramNameOf(field).length, 4);
  EXPECT_EQ(Text(jobFiles.sourceName), Padded("demo.FOR"));
  EXPECT_EQ(Text(jobFiles.usedFiName), Padded("demo.FIH"));
  EXPECT_EQ(Text(jobFiles.usedFdName), Padded("demo.FDH"));
  EXPECT_EQ(Text(jobFiles.fiOutName), Padded("demo.FI"));
  EXPECT_EQ(Text(jobFiles.fdOutName), Padded("demo.FD"));
  EXPECT_EQ(Text(jobFiles.reportName), Padded("demo.PRE"));
}

TEST(MakeJobFiles, EmptyNameGivesBareExtensions) {
  char field[31] = {};
  const JobFiles jobFiles = MakeJobFiles(ProgramNameOf(field), "FOR");
  EXPECT_EQ(ProgramNameOf(field).length, 0);
  EXPECT_EQ(Text(jobFiles.sourceName), Padded(".FOR"));
}

TEST(MakeJobFiles, ThirtyCharacterNameWithoutNulKeepsWholeExtension) {
  const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
  char field[31];
  name.copy(field, 30);
  field[30] = 'Z';  // the spare byte is not part of the name
  const JobFiles jobFiles = MakeJobFiles(ProgramNameOf(field), "f90");
  EXPECT_EQ(ProgramNameOf(field).length, 30);
  EXPECT_EQ(Text(jobFiles.sourceName), name + ".f90");
  EXPECT_EQ(Text(jobFiles.usedFdName), name + ".FDH");
  EXPECT_EQ(Text(jobFiles.fdOutName), name + ".FD ");
}

TEST(IsLibraryProgramName, MatchesLibraryBaseNamesInAnyCase) {
  for (const char* name : {"USER32", "gdi32", "Kernel32", "  LZ32", "sub/ADVAPI32", "c:shell32"}) {
    EXPECT_TRUE(IsLibraryProgramName(ProgramNameOf(name))) << name;
  }
  for (const char* name : {"USER3", "USER321", "DEMO", "USER32.X", "", "LZ32 "}) {
    EXPECT_FALSE(IsLibraryProgramName(ProgramNameOf(name))) << name;
  }
}

}  // namespace
}  // namespace pk
