// The on-disk layout of a device-independent bitmap file: the 14-byte file
// header, the 40-byte information header and the 4-byte colour entries, all
// little-endian. Defined here with fixed-width fields so the logo reader stays
// portable; the Win32 painter checks that they match the platform's records.
#pragma once

#include <cstdint>

namespace pk {

// The file header is 2-byte packed in the file: bfSize starts at offset 2.
#pragma pack(push, 2)
struct BitmapFileHeader {
  uint16_t bfType;
  uint32_t bfSize;
  uint16_t bfReserved1;
  uint16_t bfReserved2;
  uint32_t bfOffBits;
};
#pragma pack(pop)

struct BitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};

struct RgbQuad {
  uint8_t rgbBlue;
  uint8_t rgbGreen;
  uint8_t rgbRed;
  uint8_t rgbReserved;
};

static_assert(sizeof(BitmapFileHeader) == 14, "the file header is 14 bytes");
static_assert(sizeof(BitmapInfoHeader) == 40, "the information header is 40 bytes");
static_assert(sizeof(RgbQuad) == 4, "a colour entry is 4 bytes");

constexpr int32_t FILE_HEADER_SIZE = 14;
constexpr int32_t INFO_HEADER_SIZE = 40;
constexpr int32_t BITMAP_HEADERS_SIZE = FILE_HEADER_SIZE + INFO_HEADER_SIZE;  // 54
constexpr uint32_t BI_RGB_UNCOMPRESSED = 0;

}  // namespace pk
