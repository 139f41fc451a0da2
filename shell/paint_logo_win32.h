// Drawing the logo into the main window (Win32 only).
#pragma once

#include <windows.h>

namespace pk {

// Copies the logo read by LoadLogo to the top-left corner of `paintDc`, cut
// to `width` x `height` (the client size) and to the logo's own size, so the
// class background stays visible around it. A logo that was not read or is
// not to be painted (LogoImage::paintRows 0) draws nothing. The device
// bitmap is made for this paint and deleted before returning.
void PaintLogo(HDC paintDc, int width, int height);

}  // namespace pk
