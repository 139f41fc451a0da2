// The logo shown in the main window: read once from "crest.bmp" when the
// window is created. The header and colour table live in `logoImage`; the
// pixel rows live in the work store (records/work_store.h), from its first
// byte on, until the extraction job reuses the store.
#pragma once

#include <cstdint>

#include "shell/bitmap_format.h"

namespace pk {

constexpr int32_t COLOR_TABLE_ROOM = 512;

// The information header directly followed by the colour table, as the
// bitmap creation of the platform expects them.
struct BitmapInfo {
  BitmapInfoHeader bmiHeader;
  RgbQuad bmiColors[COLOR_TABLE_ROOM];
};

struct LogoImage {
  BitmapFileHeader fileHeader;  // as read; only bfOffBits is used
  BitmapInfo info;              // header as read; the colour entries read, zero after them
  int32_t colorCount;           // colour entries in the file: (bfOffBits - 54) / 4
  int32_t rowBytes;             // bytes of one pixel row (a multiple of 4); 0 until set
  // Pixel rows the paint may hand to the bitmap creation: biHeight, cut to the
  // rows that fit in the store; 0 when the logo is not to be painted (no file,
  // an incomplete header, a header size other than 40, compressed or
  // 16/32-bit pixels, more than one plane, more colours used than the table's
  // room, no width or height).
  int32_t paintRows;
};

// The one logo of the process, all zero at start.
extern LogoImage logoImage;

// Reads "crest.bmp" from the current directory on UNIT_LOGO, strictly
// sequentially: the file header, the information header, (bfOffBits - 54) / 4
// colour entries, then biHeight rows of rowBytes bytes into the store.
// Missing or unopenable file: returns at once, everything stays zero.
// A read that fails or meets the end of the file stops the reading (in the
// colour table only the table loop stops); the bytes that arrived stay, the
// file is closed. Colour entries beyond the table's room are read and
// dropped, so the rows still start where the file puts them; rows that would
// not fit whole in the store are not read. Nothing is written past either area.
void LoadLogo();

}  // namespace pk
