#pragma once

#include <string>

#include "qt/framework/ModalDialog.h"
#include "settings/CommSettings.h"
#include "settings/RegistryAccess.h"

class CMessageBoxSeam;
class QComboBox;
class QPushButton;

// Communication Settings: how the program reaches the sign. Edits private
// copy of the seven connection fields (the dialog is a CCommSettings record), which the caller
// takes back only after OK; its save button writes them to the settings store at any time.
//
// On Linux a COM port number reaches a device through the port map; the
// dialog shows the device the chosen number maps to and lets the operator
// pick another, which the save button stores with the rest.
//
// A save that works is quiet. One that does not (a settings file the store
// will not overwrite because it cannot read it, a folder it may not write)
// says so in one message box naming the file and the reason, as the
// operator would otherwise find the dialog again at the next start.
class CCommSettingsDlg : public CModalDialog, public CCommSettings {
  Q_OBJECT
 public:
  explicit CCommSettingsDlg(CMessageBoxSeam& messages, QWidget* parent = nullptr);

  // The decimal reading of typed text: leading white space skipped, an
  // optional sign, digits up to the first non-digit; 0 without digits.
  static int IntegerValue(const QString& text);

  void SaveCommSettings();

 protected:
  void OnInitDialog() override;

 private:
  QComboBox* AddList(int id, const char* label, int y, int width, int droppedHeight,
                     QStringList entries, bool sorted, bool typed);
  void SetSerialBoxesEnabled(bool comPortBox, bool lineSettings);
  void FillValues();
  void OnConnectionChosen(int index);
  void SetComPort(int port);
  void ShowMappedDevice();

  QComboBox* stopBitsList_;
  QComboBox* protocolList_;
  QComboBox* parityList_;
  QComboBox* connectionList_;
  QComboBox* comPortBox_;
  QComboBox* byteSizeList_;
  QComboBox* baudRateBox_;
  QComboBox* deviceBox_;
  QPushButton* saveButton_;
  CMessageBoxSeam& messages_;
  CRegistryAccess registry_;
  // The device the operator picked for comPort; empty while none is picked.
  std::string chosenDevice_;
};
