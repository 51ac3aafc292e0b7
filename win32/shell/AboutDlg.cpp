#include "win32/shell/AboutDlg.h"

#include "res/LinkAddresses.h"
#include "res/Version.h"
#include "win32/framework/ControlText.h"
#include "win32/shell/ShellIds.h"

CAboutDlg::CAboutDlg() : CModalDialog(IDD_ABOUTBOX), contactAddress(kContactAddress) {}

void CAboutDlg::OnInitDialog() {
  SetControlText(Window(), IDC_VERSION_TEXT, std::string("Ravelle Version ") + kRavelleReleaseName);
  SetControlText(Window(), IDC_CONTACT_ADDRESS, contactAddress);
  links_[0].Attach(Window(), IDC_UPDATE_LINK, kUpdatePageAddress, kUpdatePageAddress);
  links_[1].Attach(Window(), IDC_MAKER_LINK, kHomePageAddress, kHomePageAddress);
}

bool CAboutDlg::OnCommand(int id, int notification) {
  for (const CHyperlinkButton& link : links_) {
    if (id == link.Id() && notification == BN_CLICKED) {
      link.OpenWebAddress();
      return true;
    }
  }
  return false;
}

bool CAboutDlg::OnDrawItem(const DRAWITEMSTRUCT& item) {
  for (const CHyperlinkButton& link : links_) {
    if (static_cast<int>(item.CtlID) == link.Id()) link.Draw(item);
  }
  return true;
}
