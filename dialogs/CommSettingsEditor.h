#pragma once

#include <array>
#include <string>
#include <vector>

#include "dialogs/DialogBox.h"
#include "settings/CommSettings.h"

class CMessageBoxSeam;
class CPortDevices;
class CRegistryAccess;

// The boxes of the Communication Settings dialog. Comport, Baud Rate,
// Device, Host and TCP Port take typed text; the others take only their list
// entries. The Device box (a path as the system spells it) exists only where
// COM port numbers are mapped to devices. Host, TCP Port and TCP Protocol
// say where a serial device server listens and how it is spoken to.
enum class CommBox {
  Protocol,
  Connection,
  ComPort,
  BaudRate,
  ByteSize,
  Parity,
  StopBits,
  Device,
  Host,
  TcpPort,
  TcpProtocol
};
inline constexpr int kCommBoxCount = 11;

// Communication Settings without widgets: which boxes each connection type
// enables, what choosing a connection fills in, how typed numbers read, and
// the save button with its report. A desktop front end shows Boxes() in
// its controls and hands every operator action to Choose or Type.
//
// The seven fields are the dialog's private copy of the document's: the
// caller sets them, calls Open as the dialog initialises, and takes them
// back only after OK. Only Save writes the settings store.
class CCommSettingsEditor : public CCommSettings {
 public:
  // devices is null where there is no port map (Windows): no device row.
  CCommSettingsEditor(CRegistryAccess& registry, CMessageBoxSeam& messages, CPortDevices* devices);

  // A list's entries in the order it shows them; Device lists the serial
  // devices present.
  std::vector<std::string> Entries(CommBox box) const;
  static bool TakesTypedText(CommBox box);

  // The dialog's initialisation: lists selected from the fields, the boxes
  // the connection allows enabled and, for a serial connection, its values
  // shown.
  void Open();

  // The operator picks a list entry, or types into a box that takes text.
  // A disabled box, a text that is not an entry and typing into a list take
  // no input.
  void Choose(CommBox box, const std::string& entry);
  void Type(CommBox box, const std::string& text);

  // The save button: the seven values, then the device picked for the port.
  // A save that does not happen says why in one message box; one that works
  // is quiet. The dialog stays open either way.
  void Save();

  const CDialogBox& Box(CommBox box) const { return boxes_[static_cast<int>(box)]; }

  // The quiet line under the boxes: for a device server spoken to in raw
  // TCP, that its own line settings apply; empty otherwise.
  std::string NetworkNote() const;

 private:
  CDialogBox& BoxOf(CommBox box) { return boxes_[static_cast<int>(box)]; }
  void SelectByPrefix(CommBox box, const std::string& prefix);
  void EnableFor(unsigned enabledBoxes);
  void ShowValues();
  void ShowServer();
  void ChooseConnection(const std::string& entry);
  void SetComPort(int port);
  void ShowMappedDevice();

  CRegistryAccess& registry_;
  CMessageBoxSeam& messages_;
  CPortDevices* devices_;
  std::array<CDialogBox, kCommBoxCount> boxes_;
  // The device the operator picked for comPort; empty while none is picked.
  std::string chosenDevice_;
};
