#pragma once

#include "dialogs/ColorOptionsEditor.h"
#include "win32/framework/ModalDialog.h"

// Score Board Options (template 132, caption "Configuration"): a Win32 view
// of CColorOptionsEditor, whose four colours are the dialog's private copy
// of the document's; the caller takes them back only after OK.
class CConfigDlg : public CColorOptionsEditor, public CModalDialog {
 public:
  CConfigDlg();

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int notification) override;
};
