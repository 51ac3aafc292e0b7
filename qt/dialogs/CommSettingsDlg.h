#pragma once

#include <array>

#include "dialogs/CommSettingsEditor.h"
#include "dialogs/linux/PortMapDevices.h"
#include "qt/framework/ModalDialog.h"
#include "settings/RegistryAccess.h"

class CMessageBoxSeam;
class QComboBox;
class QLabel;

// Communication Settings: how the program reaches the sign. A Qt view of
// CCommSettingsEditor, whose seven fields are the dialog's private copy of
// the document's; the caller takes them back only after OK.
//
// On Linux a COM port number reaches a device through the port map; the
// dialog shows the device the chosen number maps to and lets the operator
// pick another, which the save button stores with the rest. For a serial
// device server it takes the host, TCP port and protocol.
class CCommSettingsDlg : public CModalDialog, public CCommSettingsEditor {
  Q_OBJECT
 public:
  explicit CCommSettingsDlg(CMessageBoxSeam& messages, QWidget* parent = nullptr);

 protected:
  void OnInitDialog() override;

 private:
  QComboBox* AddList(CommBox box, int id, const char* label, int y, int width, int droppedHeight);
  // Shows the editor's boxes in the widgets.
  void RefreshBoxes();

  CRegistryAccess registry_;
  CPortMapDevices devices_;
  std::array<QComboBox*, kCommBoxCount> lists_{};
  QLabel* networkNote_ = nullptr;
};
