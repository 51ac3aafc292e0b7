#include "win32/framework/ControlText.h"

#include "sign/Windows1252.h"

namespace {

std::wstring WideFromUtf8(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size,
                      nullptr, nullptr);
  return utf8;
}

}  // namespace

// Through UTF-8 and the core's own code page table, so both front ends
// agree on every character.
std::wstring WideFromWindows1252(const std::string& text) {
  return WideFromUtf8(Windows1252ToUtf8(text));
}

std::string Windows1252FromWide(const std::wstring& text, int* charactersLost) {
  return Utf8ToWindows1252(Utf8FromWide(text), charactersLost);
}

std::wstring WindowTextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::string ControlText(HWND dialog, int id, int* charactersLost) {
  return Windows1252FromWide(WindowTextOf(GetDlgItem(dialog, id)), charactersLost);
}

void SetControlText(HWND dialog, int id, const std::string& text) {
  const std::wstring wanted = WideFromWindows1252(text);
  HWND control = GetDlgItem(dialog, id);
  if (WindowTextOf(control) != wanted) SetWindowTextW(control, wanted.c_str());
}

void FillComboEntries(HWND dialog, int id, const std::vector<const char*>& entries) {
  SendDlgItemMessageW(dialog, id, CB_RESETCONTENT, 0, 0);
  for (const char* entry : entries) {
    const std::wstring text = WideFromWindows1252(entry);
    SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void SelectExactEntry(HWND dialog, int id, const std::string& entry) {
  LRESULT index = CB_ERR;
  if (!entry.empty()) {
    const std::wstring text = WideFromWindows1252(entry);
    index = SendDlgItemMessageW(dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(text.c_str()));
  }
  if (SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0) != index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void SelectByPrefix(HWND dialog, int id, const std::string& prefix) {
  const std::wstring text = WideFromWindows1252(prefix);
  // Every entry begins with "": an empty value selects nothing.
  const LRESULT found =
      text.empty() ? CB_ERR
                   : SendDlgItemMessageW(dialog, id, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text.c_str()));
  if (found == CB_ERR) SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

bool SelectedEntry(HWND dialog, int id, std::string& text) {
  const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return false;
  const LRESULT length =
      SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
  SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(entry.data()));
  entry.resize(static_cast<std::size_t>(length));
  text = Windows1252FromWide(entry);
  return true;
}

void EnableControl(HWND dialog, int id, bool enabled) {
  HWND control = GetDlgItem(dialog, id);
  if ((IsWindowEnabled(control) != FALSE) != enabled) EnableWindow(control, enabled);
}
