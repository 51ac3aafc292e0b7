#include "win32/framework/ArialFont.h"

HFONT CreateArialFont(int cellHeight, bool underline) {
  HDC screen = GetDC(nullptr);
  const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  // A positive height asks for the cell height, not the character height.
  return CreateFontW(MulDiv(cellHeight, dotsPerInch, 96), 0, 0, 0, FW_NORMAL, FALSE, underline,
                     FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     FF_SWISS | DEFAULT_PITCH, L"Arial");
}
