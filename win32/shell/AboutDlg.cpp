#include "win32/shell/AboutDlg.h"

#include "res/LinkAddresses.h"
#include "res/Version.h"
#include "win32/framework/ControlText.h"
#include "win32/shell/ShellIds.h"

CAboutDlg::CAboutDlg() : contactAddress(kContactAddress) {}

INT_PTR CAboutDlg::DoModal(HWND owner) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUTBOX), owner,
                         DialogProc, reinterpret_cast<LPARAM>(this));
}

void CAboutDlg::OnInitDialog(HWND dialog) {
  SetControlText(dialog, IDC_VERSION_TEXT, std::string("Ravelle Version ") + kRavelleReleaseName);
  SetControlText(dialog, IDC_CONTACT_ADDRESS, contactAddress);
  links_[0].Attach(dialog, IDC_UPDATE_LINK, kUpdatePageAddress, kUpdatePageAddress);
  links_[1].Attach(dialog, IDC_MAKER_LINK, kHomePageAddress, kHomePageAddress);
}

INT_PTR CALLBACK CAboutDlg::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<CAboutDlg*>(lParam)->OnInitDialog(dialog);
    return TRUE;
  }
  auto* self = reinterpret_cast<CAboutDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (self == nullptr) return FALSE;
  switch (message) {
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      for (const CHyperlinkButton& link : self->links_) {
        if (static_cast<int>(item.CtlID) == link.Id()) link.Draw(item);
      }
      return TRUE;
    }
    case WM_COMMAND:
      for (const CHyperlinkButton& link : self->links_) {
        if (LOWORD(wParam) == link.Id()) link.OpenWebAddress();
      }
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    default:
      return FALSE;
  }
}
