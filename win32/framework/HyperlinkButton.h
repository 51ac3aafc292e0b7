#pragma once

#include <windows.h>

#include <string>

// A push button that looks like an underlined web link: blue on the button
// face, red while pressed, the pointing hand over it. Its control is an
// owner-drawn button of the template; the window that holds it passes its
// draw requests here and calls OpenWebAddress when it is clicked.
class CHyperlinkButton {
 public:
  CHyperlinkButton() = default;
  CHyperlinkButton(const CHyperlinkButton&) = delete;
  CHyperlinkButton& operator=(const CHyperlinkButton&) = delete;
  ~CHyperlinkButton();

  // Takes over control id of dialog: its caption (Windows-1252) and address.
  void Attach(HWND dialog, int id, const char* caption, const char* address);
  int Id() const { return id_; }
  const std::string& Address() const { return address_; }

  // The parent's WM_DRAWITEM for this button.
  void Draw(const DRAWITEMSTRUCT& item) const;
  // The system's default action on the address (the browser); a failure is
  // not reported.
  void OpenWebAddress() const;

 private:
  static LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR subclassId, DWORD_PTR data);

  HWND button_ = nullptr;
  int id_ = 0;
  std::string address_;
  HCURSOR handCursor_ = nullptr;
  // Read once: a later change of the system colours does not reach it.
  COLORREF faceColor_ = 0;
  HBRUSH faceBrush_ = nullptr;
  HFONT font_ = nullptr;
};
