#pragma once

#include "dialogs/CommSettingsEditor.h"
#include "win32/framework/ModalDialog.h"
#include "win32/framework/SettingsAccess.h"

class CMessageBoxSeam;

// The registry object the editor works on, made before the editor.
struct CCommSettingsRegistry {
  CSettingsRegistry registry;
};

// Communication Settings (template 136): a Win32 view of
// CCommSettingsEditor, whose seven fields are the dialog's private copy of
// the document's; the caller takes them back only after OK. Windows has no
// port map: port n is the system's own \\.\COMn, so there is no device row.
// For a serial device server it takes the host, TCP port and protocol.
class CCommSettingsDlg : private CCommSettingsRegistry,
                         public CCommSettingsEditor,
                         public CModalDialog {
 public:
  explicit CCommSettingsDlg(CMessageBoxSeam& messages);

 protected:
  void OnInitDialog() override;
  bool OnCommand(int id, int notification) override;

 private:
  // Shows the editor's boxes in the controls.
  void RefreshBoxes();

  // Set while the dialog writes its controls, so that their notifications
  // do not come back as operator input.
  bool refreshing_ = false;
};
