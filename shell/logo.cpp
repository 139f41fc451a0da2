#include "shell/logo.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "records/record_file.h"
#include "records/work_store.h"

namespace pk {

LogoImage logoImage;

namespace {

constexpr char LOGO_FILE_NAME[] = "crest.bmp";
constexpr int32_t COLOR_ENTRY_SIZE = 4;

IoStatus ReadFileHeader(BitmapFileHeader& header) {
  const ByteItem items[] = {
      {&header.bfType, 2},      {&header.bfSize, 4},    {&header.bfReserved1, 2},
      {&header.bfReserved2, 2}, {&header.bfOffBits, 4},
  };
  return ReadBytes(UNIT_LOGO, items, 5);
}

IoStatus ReadInfoHeader(BitmapInfoHeader& header) {
  const ByteItem items[] = {
      {&header.biSize, 4},      {&header.biWidth, 4},         {&header.biHeight, 4},
      {&header.biPlanes, 2},    {&header.biBitCount, 2},      {&header.biCompression, 4},
      {&header.biSizeImage, 4}, {&header.biXPelsPerMeter, 4}, {&header.biYPelsPerMeter, 4},
      {&header.biClrUsed, 4},   {&header.biClrImportant, 4},
  };
  return ReadBytes(UNIT_LOGO, items, 11);
}

// bfOffBits is unsigned in the file; counting in 64 bits keeps offsets below
// 54 negative (no entries) and the largest ones within 32 bits.
int32_t ColorCount(uint32_t offBits) {
  return static_cast<int32_t>((int64_t{offBits} - BITMAP_HEADERS_SIZE) / COLOR_ENTRY_SIZE);
}

// Entries past the table's room are read into a scratch entry and dropped, so
// the pixel rows still start right after the whole table. A failed read ends
// only this loop.
void ReadColorTable(RgbQuad* table, int32_t colorCount) {
  RgbQuad dropped;
  for (int32_t entry = 1; entry <= colorCount; ++entry) {
    const ByteItem item = {entry <= COLOR_TABLE_ROOM ? &table[entry - 1] : &dropped,
                           COLOR_ENTRY_SIZE};
    if (ReadBytes(UNIT_LOGO, &item, 1) != IO_OK) return;
  }
}

// Bytes of one pixel row rounded up to a multiple of 4; 0 for depths whose
// pixels are not read. Wide rows are computed in 64 bits and capped, since no
// row wider than the store is ever read.
int32_t RowBytes(int32_t width, uint16_t bitCount) {
  int64_t length = 0;
  switch (bitCount) {
    case 1:
      length = (int64_t{width} + 7) / 8;
      break;
    case 4:
      length = (int64_t{width} + 1) / 2;
      break;
    case 8:
      length = width;
      break;
    case 24:
      length = 3 * int64_t{width};
      break;
    default:
      return 0;
  }
  const int64_t stride = (length + 3) / 4 * 4;
  return static_cast<int32_t>(std::min<int64_t>(stride, std::numeric_limits<int32_t>::max()));
}

// Whole rows only, and only while they fit in the store.
void ReadPixelRows(int32_t height, int32_t rowBytes) {
  if (rowBytes <= 0) return;
  int64_t offset = 0;
  for (int32_t row = 1; row <= height; ++row) {
    if (offset + rowBytes > WORK_STORE_SIZE) return;
    const ByteItem item = {workStore + offset, rowBytes};
    if (ReadBytes(UNIT_LOGO, &item, 1) != IO_OK) return;
    offset += rowBytes;
  }
}

// The platform's bitmap creation reads biHeight rows of rowBytes from the
// store and up to biClrUsed colour entries; both must stay inside their areas,
// and only plain uncompressed layouts with a 40-byte header are drawn.
int32_t PaintableRows(const BitmapInfoHeader& header, int32_t rowBytes) {
  if (header.biSize != INFO_HEADER_SIZE || header.biPlanes != 1 ||
      header.biCompression != BI_RGB_UNCOMPRESSED || header.biWidth <= 0 || header.biHeight <= 0 ||
      header.biClrUsed > COLOR_TABLE_ROOM || rowBytes <= 0) {
    return 0;
  }
  return std::min(header.biHeight, WORK_STORE_SIZE / rowBytes);
}

}  // namespace

void LoadLogo() {
  if (OpenFile(UNIT_LOGO, LOGO_FILE_NAME, sizeof LOGO_FILE_NAME - 1, OpenStatus::OLD) != IO_OK) {
    return;
  }
  LogoImage& logo = logoImage;
  BitmapInfoHeader& header = logo.info.bmiHeader;
  if (ReadFileHeader(logo.fileHeader) == IO_OK && ReadInfoHeader(header) == IO_OK) {
    logo.colorCount = ColorCount(logo.fileHeader.bfOffBits);
    ReadColorTable(logo.info.bmiColors, logo.colorCount);
    logo.rowBytes = RowBytes(header.biWidth, header.biBitCount);
    logo.paintRows = PaintableRows(header, logo.rowBytes);
    ReadPixelRows(header.biHeight, logo.rowBytes);
  }
  CloseFile(UNIT_LOGO);
}

}  // namespace pk
