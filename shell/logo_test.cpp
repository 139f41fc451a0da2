#include "shell/logo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "records/record_file.h"
#include "records/work_store.h"
#include "testing/failing_file_services.h"
#include "testing/files.h"
#include "testing/scratch_directory.h"

namespace pk {
namespace {

struct BitmapShape {
  uint16_t type = 0x4D42;
  uint32_t offBits = 54;
  uint32_t infoSize = 40;
  int32_t width = 1;
  int32_t height = 1;
  uint16_t planes = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t clrUsed = 0;
};

void Put16(std::string& bytes, uint32_t value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& bytes, uint32_t value) {
  Put16(bytes, value & 0xFFFF);
  Put16(bytes, value >> 16);
}

// The 54 header bytes of a bitmap file.
std::string Headers(const BitmapShape& shape) {
  std::string bytes;
  Put16(bytes, shape.type);
  Put32(bytes, 123456);  // bfSize
  Put16(bytes, 7);       // bfReserved1
  Put16(bytes, 9);       // bfReserved2
  Put32(bytes, shape.offBits);
  Put32(bytes, shape.infoSize);
  Put32(bytes, static_cast<uint32_t>(shape.width));
  Put32(bytes, static_cast<uint32_t>(shape.height));
  Put16(bytes, shape.planes);
  Put16(bytes, shape.bitCount);
  Put32(bytes, shape.compression);
  Put32(bytes, 0);     // biSizeImage
  Put32(bytes, 2835);  // biXPelsPerMeter
  Put32(bytes, 2836);  // biYPelsPerMeter
  Put32(bytes, shape.clrUsed);
  Put32(bytes, 5);  // biClrImportant
  return bytes;
}

// `count` bytes that differ from their neighbours and from zero.
std::string Pattern(size_t count, int seed) {
  std::string bytes(count, '\0');
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 7 + seed) % 251 + 1);
  return bytes;
}

std::string ColorEntry(const RgbQuad& entry) {
  return std::string(reinterpret_cast<const char*>(&entry), sizeof entry);
}

class LoadLogoTest : public ::testing::Test {
 protected:
  LoadLogoTest() { Reset(); }
  ~LoadLogoTest() override { CloseAllFiles(); }

  static void Reset() {
    CloseAllFiles();
    logoImage = LogoImage{};
    std::memset(workStore, 0, WORK_STORE_SIZE);
  }

  // Writes crest.bmp and reads it.
  static void Load(const std::string& file) {
    testing::WriteWholeFile("crest.bmp", file);
    LoadLogo();
  }

  static std::string Store(size_t first, size_t count) {
    return std::string(workStore + first, count);
  }

  static bool StoreIsZero(size_t first, size_t count) {
    return Store(first, count) == std::string(count, '\0');
  }

  testing::ScratchDirectory scratch_;
};

// The file type is not checked: "XX" is read like "BM".
TEST_F(LoadLogoTest, TwentyFourBitFileReadsHeadersAndRowsWithNoColorTable) {
  BitmapShape shape;
  shape.type = 0x5858;
  shape.width = 5;
  shape.height = 2;
  const std::string rows = Pattern(32, 1);
  Load(Headers(shape) + rows);

  EXPECT_EQ(logoImage.fileHeader.bfType, 0x5858);
  EXPECT_EQ(static_cast<uint32_t>(logoImage.fileHeader.bfSize), 123456u);
  EXPECT_EQ(logoImage.fileHeader.bfReserved2, 9);
  EXPECT_EQ(logoImage.info.bmiHeader.biHeight, 2);
  EXPECT_EQ(logoImage.info.bmiHeader.biClrImportant, 5u);
  EXPECT_EQ(logoImage.colorCount, 0);
  EXPECT_EQ(ColorEntry(logoImage.info.bmiColors[0]), std::string(4, '\0'));
  EXPECT_EQ(logoImage.rowBytes, 16);
  EXPECT_EQ(Store(0, 32), rows);
  EXPECT_TRUE(StoreIsZero(32, 100));
  EXPECT_EQ(logoImage.paintRows, 2);
  EXPECT_FALSE(IsUnitAttached(UNIT_LOGO));
}

TEST_F(LoadLogoTest, EightBitFileReadsItsFullColorTableThenTheRows) {
  BitmapShape shape;
  shape.offBits = 1078;
  shape.bitCount = 8;
  shape.width = 3;
  shape.height = 2;
  const std::string table = Pattern(1024, 3);
  const std::string rows = Pattern(8, 5);
  Load(Headers(shape) + table + rows);

  EXPECT_EQ(logoImage.colorCount, 256);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(logoImage.info.bmiColors), 1024), table);
  EXPECT_EQ(ColorEntry(logoImage.info.bmiColors[256]), std::string(4, '\0'));
  EXPECT_EQ(Store(0, 8), rows);
  EXPECT_EQ(logoImage.paintRows, 2);
}

// The count truncates toward zero and the file is never positioned at
// bfOffBits: the rows always follow the entries read.
TEST_F(LoadLogoTest, OffsetsWithNoWholeEntryReadNoTableAndRowsFromOffset54) {
  const struct {
    uint32_t offBits;
    int32_t colorCount;
  } cases[] = {{55, 0}, {56, 0}, {57, 0}, {50, -1}, {0, -13}};
  for (const auto& c : cases) {
    Reset();
    BitmapShape shape;
    shape.offBits = c.offBits;
    const std::string rows = Pattern(4, 2);
    Load(Headers(shape) + rows);
    EXPECT_EQ(logoImage.colorCount, c.colorCount) << c.offBits;
    EXPECT_EQ(ColorEntry(logoImage.info.bmiColors[0]), std::string(4, '\0')) << c.offBits;
    EXPECT_EQ(Store(0, 4), rows) << c.offBits;
  }
}

TEST_F(LoadLogoTest, RowsAreRoundedUpToFourBytesAndStoredBackToBack) {
  const struct {
    uint16_t bitCount;
    int32_t width;
    int32_t rowBytes;
  } cases[] = {{8, 3, 4}, {1, 33, 8}, {24, 5, 16}, {4, 3, 4}, {4, 9, 8}, {1, 1, 4}, {24, 4, 12}};
  for (const auto& c : cases) {
    Reset();
    BitmapShape shape;
    shape.bitCount = c.bitCount;
    shape.width = c.width;
    shape.height = 3;
    const std::string rows = Pattern(3 * c.rowBytes, c.width);
    Load(Headers(shape) + rows + "trailing bytes");
    EXPECT_EQ(logoImage.rowBytes, c.rowBytes) << c.bitCount << "-bit width " << c.width;
    EXPECT_EQ(Store(0, rows.size()), rows) << c.bitCount << "-bit width " << c.width;
    EXPECT_TRUE(StoreIsZero(rows.size(), 16)) << c.bitCount << "-bit width " << c.width;
  }
}

// 16/32-bit depths, top-down or empty pictures, and rows wider than the whole
// store (or of negative width) read no pixel byte and are not painted.
TEST_F(LoadLogoTest, PicturesWithoutReadableRowsReadNoPixelsAndAreNotPainted) {
  const struct {
    uint16_t bitCount;
    int32_t width;
    int32_t height;
    int32_t rowBytes;
  } cases[] = {{16, 4, 2, 0},
               {32, 4, 2, 0},
               {24, 1, 0, 4},
               {24, 1, -2, 4},
               {24, 600000, 2, 1800000},
               {24, -5, 2, -12},
               {24, 0x7FFFFFFF, 2, 0x7FFFFFFF}};
  for (const auto& c : cases) {
    Reset();
    BitmapShape shape;
    shape.bitCount = c.bitCount;
    shape.width = c.width;
    shape.height = c.height;
    Load(Headers(shape) + Pattern(64, 1));
    EXPECT_EQ(logoImage.rowBytes, c.rowBytes) << c.bitCount << " " << c.width << "x" << c.height;
    EXPECT_TRUE(StoreIsZero(0, 64)) << c.bitCount << " " << c.width << "x" << c.height;
    EXPECT_EQ(logoImage.paintRows, 0) << c.bitCount << " " << c.width << "x" << c.height;
  }
}

TEST_F(LoadLogoTest, FileEndingInTheHeadersKeepsWhatArrivedAndReadsNoFurther) {
  BitmapShape shape;
  shape.offBits = 1078;
  shape.width = 6;
  Load(Headers(shape).substr(0, 8));  // up to bfReserved1
  EXPECT_EQ(logoImage.fileHeader.bfReserved1, 7);
  EXPECT_EQ(static_cast<uint32_t>(logoImage.fileHeader.bfOffBits), 0u);
  EXPECT_EQ(logoImage.info.bmiHeader.biSize, 0u);
  EXPECT_FALSE(IsUnitAttached(UNIT_LOGO));

  Reset();
  Load(Headers(shape).substr(0, 28));  // up to biPlanes
  EXPECT_EQ(logoImage.info.bmiHeader.biWidth, 6);
  EXPECT_EQ(logoImage.info.bmiHeader.biBitCount, 0);
  EXPECT_EQ(logoImage.colorCount, 0);
  EXPECT_EQ(logoImage.rowBytes, 0);
  EXPECT_EQ(logoImage.paintRows, 0);
  EXPECT_FALSE(IsUnitAttached(UNIT_LOGO));
}

TEST_F(LoadLogoTest, FileEndingInTheColorTableKeepsTheEntriesThatArrived) {
  BitmapShape shape;
  shape.offBits = 1078;
  shape.bitCount = 8;
  shape.width = 4;
  const std::string table = Pattern(42, 4);  // ten entries and half of one
  Load(Headers(shape) + table);
  EXPECT_EQ(logoImage.colorCount, 256);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(logoImage.info.bmiColors), 42), table);
  EXPECT_EQ(ColorEntry(logoImage.info.bmiColors[11]), std::string(4, '\0'));
  EXPECT_EQ(logoImage.rowBytes, 4);
  EXPECT_TRUE(StoreIsZero(0, 16));
  EXPECT_FALSE(IsUnitAttached(UNIT_LOGO));
}

TEST_F(LoadLogoTest, FileEndingInThePixelRowsKeepsEveryByteThatArrived) {
  BitmapShape shape;
  shape.width = 5;
  shape.height = 3;
  const std::string rows = Pattern(20, 6);  // one row and a quarter of the next
  Load(Headers(shape) + rows);
  EXPECT_EQ(Store(0, 20), rows);
  EXPECT_TRUE(StoreIsZero(20, 64));
  EXPECT_EQ(logoImage.paintRows, 3);
  EXPECT_FALSE(IsUnitAttached(UNIT_LOGO));
}

TEST_F(LoadLogoTest, FailedReadStopsTheReadingAndClosesTheFile) {
  testing::WriteWholeFile("crest.bmp", Headers(BitmapShape{}) + Pattern(4, 1));
  {
    const testing::FailingFileServices failingCalls(testing::FileCall::READ, 1, IO_READ_FAILED);
    LoadLogo();
  }
  EXPECT_EQ(logoImage.fileHeader.bfType, 0);
  EXPECT_EQ(logoImage.paintRows, 0);
  EXPECT_TRUE(StoreIsZero(0, 4));
  EXPECT_FALSE(IsUnitAttached(UNIT_LOGO));
}

TEST_F(LoadLogoTest, ColorTableBeyondItsRoomIsCutAndTheRowsStillFollowIt) {
  BitmapShape shape;
  shape.offBits = 54 + 4 * 600;
  shape.bitCount = 8;
  shape.width = 4;
  shape.height = 2;
  const std::string table = Pattern(4 * 600, 8);
  const std::string rows = Pattern(8, 2);
  Load(Headers(shape) + table + rows);
  EXPECT_EQ(logoImage.colorCount, 600);
  EXPECT_EQ(
      std::string(reinterpret_cast<const char*>(logoImage.info.bmiColors), 4 * COLOR_TABLE_ROOM),
      table.substr(0, 4 * COLOR_TABLE_ROOM));
  EXPECT_EQ(logoImage.rowBytes, 4);
  EXPECT_EQ(Store(0, 8), rows);
  EXPECT_EQ(logoImage.paintRows, 2);
}

TEST_F(LoadLogoTest, PixelDataBeyondTheStoreStopsAtTheLastWholeRowThatFits) {
  BitmapShape shape;
  shape.bitCount = 8;
  shape.width = 1024;
  shape.height = 1500;
  const size_t rowsThatFit = WORK_STORE_SIZE / 1024;  // 1464
  const std::string rows = Pattern(1024 * 1500, 3);
  Load(Headers(shape) + rows);
  EXPECT_EQ(logoImage.rowBytes, 1024);
  EXPECT_EQ(Store(0, 1024 * rowsThatFit), rows.substr(0, 1024 * rowsThatFit));
  EXPECT_TRUE(StoreIsZero(1024 * rowsThatFit, WORK_STORE_SIZE - 1024 * rowsThatFit));
  EXPECT_EQ(logoImage.paintRows, static_cast<int32_t>(rowsThatFit));
}

TEST_F(LoadLogoTest, MissingFileLeavesTheLogoZeroAndCreatesNoFile) {
  LoadLogo();
  const LogoImage zero{};
  EXPECT_EQ(std::memcmp(&logoImage, &zero, sizeof zero), 0);
  EXPECT_FALSE(IsUnitAttached(UNIT_LOGO));
  EXPECT_FALSE(testing::FileExists("crest.bmp"));
}

TEST_F(LoadLogoTest, OnlyPlainUncompressedLayoutsAreToBePainted) {
  struct Case {
    const char* what;
    BitmapShape shape;
    bool painted;
  };
  BitmapShape plain;
  plain.bitCount = 8;
  plain.width = 2;
  plain.height = 2;
  Case cases[] = {{"plain", plain, true},           {"core header", plain, false},
                  {"v5 header", plain, false},      {"run-length", plain, false},
                  {"two planes", plain, false},     {"too many colours used", plain, false},
                  {"256 colours used", plain, true}};
  cases[1].shape.infoSize = 12;
  cases[2].shape.infoSize = 124;
  cases[3].shape.compression = 1;
  cases[4].shape.planes = 2;
  cases[5].shape.clrUsed = 513;
  cases[6].shape.clrUsed = 256;
  for (const Case& c : cases) {
    Reset();
    Load(Headers(c.shape) + Pattern(8, 1));
    EXPECT_EQ(logoImage.paintRows, c.painted ? 2 : 0) << c.what;
  }
}

}  // namespace
}  // namespace pk
