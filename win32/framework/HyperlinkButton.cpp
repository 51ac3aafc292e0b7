#include "win32/framework/HyperlinkButton.h"

#include <commctrl.h>
#include <shellapi.h>

#include "win32/framework/ArialFont.h"
#include "win32/framework/ControlText.h"

namespace {

// The pointing hand of the program's resources.
constexpr int kHandCursorId = 135;
constexpr int kLinkFontHeight = 14;

}  // namespace

CHyperlinkButton::~CHyperlinkButton() {
  if (button_ != nullptr) RemoveWindowSubclass(button_, ButtonProc, 0);
  if (faceBrush_ != nullptr) DeleteObject(faceBrush_);
  if (font_ != nullptr) DeleteObject(font_);
}

void CHyperlinkButton::Attach(HWND dialog, int id, const char* caption, const char* address) {
  button_ = GetDlgItem(dialog, id);
  id_ = id;
  address_ = address;
  handCursor_ = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kHandCursorId));
  faceColor_ = GetSysColor(COLOR_BTNFACE);
  faceBrush_ = CreateSolidBrush(faceColor_);
  font_ = CreateArialFont(kLinkFontHeight, true);
  SetWindowTextW(button_, WideFromWindows1252(caption).c_str());
  SetWindowSubclass(button_, ButtonProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void CHyperlinkButton::Draw(const DRAWITEMSTRUCT& item) const {
  RECT area{0, 0, item.rcItem.right - item.rcItem.left, item.rcItem.bottom - item.rcItem.top};
  HDC dc = item.hDC;
  HGDIOBJ previousBrush = SelectObject(dc, faceBrush_);
  PatBlt(dc, 0, 0, area.right, area.bottom, PATCOPY);
  SelectObject(dc, previousBrush);
  HGDIOBJ previousFont = SelectObject(dc, font_);
  SetTextColor(dc, (item.itemState & ODS_SELECTED) ? RGB(255, 0, 0) : RGB(0, 0, 255));
  SetBkColor(dc, faceColor_);
  // One line, clipped at the right edge; no focus rectangle.
  const std::wstring caption = WindowTextOf(item.hwndItem);
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &area,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, previousFont);
}

void CHyperlinkButton::OpenWebAddress() const {
  ShellExecuteW(nullptr, nullptr, WideFromWindows1252(address_).c_str(), nullptr, nullptr,
                SW_SHOWNORMAL);
}

LRESULT CALLBACK CHyperlinkButton::ButtonProc(HWND button, UINT message, WPARAM wParam,
                                              LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  const auto* self = reinterpret_cast<const CHyperlinkButton*>(data);
  if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT && self->handCursor_ != nullptr) {
    SetCursor(self->handCursor_);
    return TRUE;
  }
  return DefSubclassProc(button, message, wParam, lParam);
}
