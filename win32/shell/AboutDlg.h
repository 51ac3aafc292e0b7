#pragma once

#include <array>
#include <string>

#include "win32/framework/HyperlinkButton.h"
#include "win32/framework/ModalDialog.h"

// About Ravelle (template 100): the version, the contact address and two
// links.
class CAboutDlg : public CModalDialog {
 public:
  CAboutDlg();

  std::string contactAddress;

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  std::array<CHyperlinkButton, 2> links_;
};
