// Bitmap files a user might leave as the logo that are not what they claim:
// the reader takes what fits, never writes past the colour table or the
// store, and tells the paint to draw nothing it cannot back with data.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "records/record_file.h"
#include "records/work_store.h"
#include "shell/logo.h"
#include "testing/files.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

constexpr char kUntouched = '\x5A';

void LoadFrom(const std::string& bytes) {
  testing::WriteWholeFile("crest.bmp", bytes);
  logoImage = LogoImage{};
  std::memset(workStore, kUntouched, WORK_STORE_SIZE);
  LoadLogo();
  EXPECT_FALSE(IsUnitAttached(UNIT_LOGO));
}

// A 54-byte header: the given offset, width, height and depth, 40-byte
// information header, one plane, no compression.
std::string Headers(uint32_t offBits, int32_t width, int32_t height, uint16_t bitCount) {
  std::string bytes(54, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  std::memcpy(&bytes[10], &offBits, 4);
  const uint32_t infoSize = 40;
  const uint16_t planes = 1;
  std::memcpy(&bytes[14], &infoSize, 4);
  std::memcpy(&bytes[18], &width, 4);
  std::memcpy(&bytes[22], &height, 4);
  std::memcpy(&bytes[26], &planes, 2);
  std::memcpy(&bytes[28], &bitCount, 2);
  return bytes;
}

TEST(LogoFaults, NulFilledFileReadsAsNothingToPaint) {
  testing::ScratchDirectory scratch;
  LoadFrom(std::string(65536, '\0'));
  EXPECT_EQ(logoImage.colorCount, -13);  // (0 - 54) / 4, truncated
  EXPECT_EQ(logoImage.rowBytes, 0);      // depth 0 has no pixels to read
  EXPECT_EQ(logoImage.paintRows, 0);
  EXPECT_EQ(logoImage.info.bmiHeader.biWidth, 0);
  EXPECT_EQ(workStore[0], kUntouched);
}

// 2,000 rows of 1,000 bytes claimed, the file holding them all: the rows that
// fit the store are read, none beyond it, and the paint uses only those.
TEST(LogoFaults, RowsBeyondTheStoreAreNotRead) {
  testing::ScratchDirectory scratch;
  const int32_t rowBytes = 1000;
  std::string file = Headers(54, rowBytes, 2000, 8) + std::string(2000 * rowBytes, '\x11');
  LoadFrom(file);
  EXPECT_EQ(logoImage.rowBytes, rowBytes);
  EXPECT_EQ(logoImage.paintRows, WORK_STORE_SIZE / rowBytes);
  EXPECT_EQ(workStore[WORK_STORE_SIZE - 1], '\x11');
}

// An offset of 4 GB claims a billion colour entries: the table keeps 512, the
// rest of the file is read through and dropped, and no row is left to read.
TEST(LogoFaults, ColourTableBeyondItsRoomIsDropped) {
  testing::ScratchDirectory scratch;
  LoadFrom(Headers(0xFFFFFFFFu, 4, 4, 8) + std::string(4 * 600, '\x22'));
  EXPECT_EQ(logoImage.colorCount, 1073741810);
  EXPECT_EQ(logoImage.info.bmiColors[511].rgbRed, 0x22);
  EXPECT_EQ(workStore[0], kUntouched);
}

// A width of 2,000,000,000 24-bit pixels: the row length is capped, no row is
// read and nothing is painted.
TEST(LogoFaults, RowWiderThanTheStoreIsNotRead) {
  testing::ScratchDirectory scratch;
  LoadFrom(Headers(54, 2000000000, 2, 24) + std::string(4096, '\x33'));
  EXPECT_EQ(logoImage.paintRows, 0);
  EXPECT_EQ(workStore[0], kUntouched);
}

}  // namespace
}  // namespace pk
