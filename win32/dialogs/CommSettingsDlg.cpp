#include "win32/dialogs/CommSettingsDlg.h"

#include <array>
#include <utility>

#include "win32/dialogs/DialogIds.h"
#include "win32/framework/ControlText.h"

namespace {

// The boxes the Windows dialog shows, and their controls.
constexpr std::array<std::pair<CommBox, int>, 10> kBoxControls = {{
    {CommBox::Protocol, IDC_PROTOCOL},
    {CommBox::Connection, IDC_CONNECTION},
    {CommBox::ComPort, IDC_COMPORT},
    {CommBox::BaudRate, IDC_BAUD_RATE},
    {CommBox::ByteSize, IDC_BYTE_SIZE},
    {CommBox::Parity, IDC_PARITY},
    {CommBox::StopBits, IDC_STOP_BITS},
    {CommBox::Host, IDC_HOST},
    {CommBox::TcpPort, IDC_TCP_PORT},
    {CommBox::TcpProtocol, IDC_TCP_PROTOCOL},
}};

}  // namespace

CCommSettingsDlg::CCommSettingsDlg(CMessageBoxSeam& messages)
    : CCommSettingsEditor(registry.Access(), messages, nullptr),
      CModalDialog(IDD_COMMUNICATION_SETTINGS) {}

void CCommSettingsDlg::OnInitDialog() {
  refreshing_ = true;
  for (const auto& [box, id] : kBoxControls) {
    std::vector<const char*> entries;
    const std::vector<std::string> texts = Entries(box);
    for (const std::string& text : texts) entries.push_back(text.c_str());
    // Host and TCP Port are plain edit boxes, with no entries to offer.
    if (!entries.empty()) FillComboEntries(Window(), id, entries);
  }
  refreshing_ = false;
  Open();
  RefreshBoxes();
}

bool CCommSettingsDlg::OnCommand(int id, int notification) {
  if (refreshing_) return true;
  if (id == IDC_SAVE_SETTINGS && notification == BN_CLICKED) {
    Save();
    RefreshBoxes();
    return true;
  }
  for (const auto& [box, control] : kBoxControls) {
    if (control != id) continue;
    std::string entry;
    if (notification == CBN_SELCHANGE && SelectedEntry(Window(), id, entry)) {
      Choose(box, entry);
    } else if (notification == CBN_EDITCHANGE || notification == EN_CHANGE) {
      Type(box, ControlText(Window(), id));
    } else {
      return false;
    }
    RefreshBoxes();
    return true;
  }
  return false;
}

void CCommSettingsDlg::RefreshBoxes() {
  refreshing_ = true;
  for (const auto& [box, id] : kBoxControls) {
    const CDialogBox& shown = Box(box);
    if (TakesTypedText(box)) {
      SetControlText(Window(), id, shown.text);
    } else {
      SelectExactEntry(Window(), id, shown.text);
    }
    EnableControl(Window(), id, shown.enabled);
  }
  SetControlText(Window(), IDC_NETWORK_NOTE, NetworkNote());
  refreshing_ = false;
}
