#include "shell/paint_logo_win32.h"

#include <algorithm>
#include <cstddef>

#include "records/work_store.h"
#include "shell/logo.h"

namespace pk {

// The logo record is handed to the platform as its own bitmap records.
static_assert(sizeof(BitmapInfoHeader) == sizeof(BITMAPINFOHEADER), "same information header");
static_assert(offsetof(BitmapInfo, bmiColors) == offsetof(BITMAPINFO, bmiColors),
              "the colour table follows the header directly");
static_assert(sizeof(RgbQuad) == sizeof(RGBQUAD), "same colour entry");

void PaintLogo(HDC paintDc, int width, int height) {
  if (logoImage.paintRows <= 0) return;
  // The header goes to the platform with its height cut to the rows the store
  // holds, so the bitmap creation never reads past the store.
  BitmapInfo info = logoImage.info;
  info.bmiHeader.biHeight = logoImage.paintRows;
  const BITMAPINFO* platformInfo = reinterpret_cast<const BITMAPINFO*>(&info);

  HDC memoryDc = CreateCompatibleDC(paintDc);
  HBITMAP bitmap = CreateDIBitmap(paintDc, &platformInfo->bmiHeader, CBM_INIT, workStore,
                                  platformInfo, DIB_RGB_COLORS);
  HGDIOBJ previous = SelectObject(memoryDc, bitmap);
  BitBlt(paintDc, 0, 0, std::min(width, static_cast<int>(info.bmiHeader.biWidth)),
         std::min(height, static_cast<int>(info.bmiHeader.biHeight)), memoryDc, 0, 0, SRCCOPY);
  SelectObject(memoryDc, previous);
  DeleteDC(memoryDc);
  DeleteObject(bitmap);
}

}  // namespace pk
