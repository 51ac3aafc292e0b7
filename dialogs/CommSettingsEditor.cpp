#include "dialogs/CommSettingsEditor.h"

#include <algorithm>
#include <initializer_list>
#include <optional>

#include "dialogs/PortDevices.h"
#include "dialogs/SystemText.h"
#include "link/MessageBoxSeam.h"
#include "settings/SavedSettings.h"

namespace {

constexpr unsigned Boxes(std::initializer_list<CommBox> boxes) {
  unsigned mask = 0;
  for (CommBox box : boxes) mask |= 1u << static_cast<int>(box);
  return mask;
}

constexpr unsigned kPort = Boxes({CommBox::ComPort, CommBox::Device});
constexpr unsigned kLine =
    Boxes({CommBox::BaudRate, CommBox::ByteSize, CommBox::Parity, CommBox::StopBits});
constexpr unsigned kServer = Boxes({CommBox::Host, CommBox::TcpPort, CommBox::TcpProtocol});

// What choosing a connection does to the values.
enum class Fill {
  kBlank,       // every value 0 or empty, the boxes blank
  kPresetLine,  // the line the sign itself expects; the port stays
  kKeep,        // whatever the previous connection left
};

// What each connection type lets the operator change. The Connection list
// is always enabled; a connection not in the table (the empty one of a first
// start among them) enables nothing else and shows no values. The Protocol
// list is enabled only when the dialog opens on custom settings.
struct CConnectionType {
  const char* name;
  unsigned enabledOnOpening;
  unsigned enabledOnChoosing;
  bool opensWithValues;
  Fill choosing;
};

constexpr CConnectionType kConnectionTypes[] = {
    {kConnectionSerialClassic, kPort, kPort, true, Fill::kPresetLine},
    {kConnectionSerialCustom, Boxes({CommBox::Protocol}) | kPort | kLine, kPort | kLine, true,
     Fill::kKeep},
    {kConnectionUsbPrism, 0, 0, false, Fill::kBlank},
    // The line settings stay editable: RFC 2217 sends them to the server's
    // port, and they measure how long a write may take.
    {kConnectionNetwork, kServer | kLine, kServer | kLine, true, Fill::kKeep},
};

const CConnectionType* FindConnectionType(const std::string& connection) {
  for (const CConnectionType& type : kConnectionTypes) {
    if (connection == type.name) return &type;
  }
  return nullptr;
}

std::string Trimmed(const std::string& text) {
  constexpr const char* kSpace = " \t\n\v\f\r";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

}  // namespace

CCommSettingsEditor::CCommSettingsEditor(CRegistryAccess& registry, CMessageBoxSeam& messages,
                                         CPortDevices* devices)
    : registry_(registry), messages_(messages), devices_(devices) {}

std::vector<std::string> CCommSettingsEditor::Entries(CommBox box) const {
  switch (box) {
    case CommBox::Protocol:
      return {"alpha"};
    case CommBox::Connection: {
      std::vector<std::string> names;
      for (const CConnectionType& type : kConnectionTypes) names.emplace_back(type.name);
      return names;
    }
    case CommBox::ComPort:
      return {"1", "2", "3", "4", "5", "6", "7", "8"};
    case CommBox::BaudRate:
      return {"9600"};
    case CommBox::ByteSize:
      return {" ", "7", "8"};
    case CommBox::Parity:
      return {" ", "none", "even", "odd"};
    case CommBox::StopBits:
      return {" ", "1", "2"};
    case CommBox::Device:
      return devices_ != nullptr ? devices_->Present() : std::vector<std::string>{};
    case CommBox::Host:
    case CommBox::TcpPort:
      return {};
    case CommBox::TcpProtocol:
      return {kTcpProtocolRaw, kTcpProtocolRfc2217};
  }
  return {};
}

bool CCommSettingsEditor::TakesTypedText(CommBox box) {
  return box == CommBox::ComPort || box == CommBox::BaudRate || box == CommBox::Device ||
         box == CommBox::Host || box == CommBox::TcpPort;
}

std::string CCommSettingsEditor::NetworkNote() const {
  if (connection != kConnectionNetwork || tcpProtocol == kTcpProtocolRfc2217) return "";
  return "With raw TCP the device server's own line settings apply.";
}

void CCommSettingsEditor::Open() {
  SelectByPrefix(CommBox::Protocol, protocol);
  SelectByPrefix(CommBox::Connection, connection);
  const CConnectionType* type = FindConnectionType(connection);
  EnableFor(type != nullptr ? type->enabledOnOpening : 0);
  if (type != nullptr && type->opensWithValues) ShowValues();
  ShowMappedDevice();
}

void CCommSettingsEditor::Choose(CommBox box, const std::string& entry) {
  if (!Box(box).enabled) return;
  // The devices present may have changed since the list was filled.
  const std::vector<std::string> entries = Entries(box);
  const bool anyText = box == CommBox::Device || box == CommBox::Host || box == CommBox::TcpPort;
  if (!anyText && std::find(entries.begin(), entries.end(), entry) == entries.end()) {
    return;
  }
  BoxOf(box).text = entry;
  switch (box) {
    case CommBox::Protocol:  // has no handler: protocol never changes here
      break;
    case CommBox::Connection:
      ChooseConnection(entry);
      break;
    case CommBox::ComPort:
      SetComPort(IntegerValue(entry));
      break;
    case CommBox::BaudRate:
      baudRate = IntegerValue(entry);
      break;
    case CommBox::ByteSize:
      byteSize = IntegerValue(entry);
      break;
    case CommBox::Parity:
      parity = entry;
      break;
    case CommBox::StopBits:
      stopBits = IntegerValue(entry);
      break;
    case CommBox::Device:
      chosenDevice_ = entry;
      break;
    case CommBox::Host:
    case CommBox::TcpPort:
      Type(box, entry);
      break;
    case CommBox::TcpProtocol:
      tcpProtocol = entry;
      break;
  }
}

void CCommSettingsEditor::Type(CommBox box, const std::string& text) {
  if (!Box(box).enabled || !TakesTypedText(box)) return;
  BoxOf(box).text = text;
  if (box == CommBox::ComPort) SetComPort(IntegerValue(text));
  if (box == CommBox::BaudRate) baudRate = IntegerValue(text);
  if (box == CommBox::Device) chosenDevice_ = Trimmed(text);
  if (box == CommBox::Host) host = Trimmed(text);
  if (box == CommBox::TcpPort) tcpPort = IntegerValue(text);
}

void CCommSettingsEditor::Save() {
  std::optional<CSettingsProblem> problem = SaveCommSettings(*this, registry_);
  if (devices_ != nullptr) {
    if (!chosenDevice_.empty() && chosenDevice_ != devices_->DeviceFor(comPort)) {
      if (auto deviceProblem = devices_->Keep(comPort, chosenDevice_); !deviceProblem) {
        chosenDevice_.clear();
      } else if (!problem) {
        // The pick stays in the box, so that a second save can store it.
        problem = std::move(deviceProblem);
      }
    } else {
      chosenDevice_.clear();
    }
    ShowMappedDevice();
  }
  if (problem) {
    messages_.Show(
        "The communication settings were not saved.\n\n" + SystemTextToWindows1252(problem->text),
        kApplicationName, CMessageBoxSeam::Icon::Exclamation);
  }
}

// Without an entry to match, the selection stays as it was.
void CCommSettingsEditor::SelectByPrefix(CommBox box, const std::string& prefix) {
  const std::vector<std::string> entries = Entries(box);
  if (const std::string* entry = FindEntryByPrefix(entries, prefix)) BoxOf(box).text = *entry;
}

void CCommSettingsEditor::EnableFor(unsigned enabledBoxes) {
  enabledBoxes |= Boxes({CommBox::Connection});
  for (int box = 0; box < kCommBoxCount; ++box) boxes_[box].enabled = (enabledBoxes >> box) & 1;
}

void CCommSettingsEditor::ShowValues() {
  BoxOf(CommBox::ComPort).text = std::to_string(comPort);
  SelectByPrefix(CommBox::StopBits, std::to_string(stopBits));
  SelectByPrefix(CommBox::ByteSize, std::to_string(byteSize));
  SelectByPrefix(CommBox::Parity, parity);
  BoxOf(CommBox::BaudRate).text = std::to_string(baudRate);
  if (connection == kConnectionNetwork) ShowServer();
}

void CCommSettingsEditor::ShowServer() {
  // A server not named yet is spoken to raw until the operator says else.
  if (tcpProtocol != kTcpProtocolRfc2217) tcpProtocol = kTcpProtocolRaw;
  BoxOf(CommBox::Host).text = host;
  BoxOf(CommBox::TcpPort).text = tcpPort > 0 ? std::to_string(tcpPort) : "";
  BoxOf(CommBox::TcpProtocol).text = tcpProtocol;
}

void CCommSettingsEditor::ChooseConnection(const std::string& entry) {
  connection = Trimmed(entry);
  const CConnectionType* type = FindConnectionType(connection);
  EnableFor(type != nullptr ? type->enabledOnChoosing : 0);
  switch (type != nullptr ? type->choosing : Fill::kKeep) {
    case Fill::kBlank:
      comPort = baudRate = byteSize = stopBits = 0;
      parity = "";
      BoxOf(CommBox::ComPort).text = BoxOf(CommBox::BaudRate).text = "";
      for (CommBox box : {CommBox::StopBits, CommBox::ByteSize, CommBox::Parity}) {
        SelectByPrefix(box, " ");
      }
      chosenDevice_.clear();
      break;
    case Fill::kPresetLine:
      baudRate = 9600;
      byteSize = 7;
      parity = "even";
      stopBits = 1;
      BoxOf(CommBox::BaudRate).text = "9600";
      SelectByPrefix(CommBox::StopBits, "1");
      SelectByPrefix(CommBox::ByteSize, "7");
      SelectByPrefix(CommBox::Parity, "even");
      break;
    case Fill::kKeep:
      break;
  }
  if (connection == kConnectionNetwork) ShowServer();
  ShowMappedDevice();
}

void CCommSettingsEditor::SetComPort(int port) {
  comPort = port;
  // A new number shows its own device; an earlier pick belonged to the old one.
  chosenDevice_.clear();
  ShowMappedDevice();
}

void CCommSettingsEditor::ShowMappedDevice() {
  if (devices_ == nullptr || !chosenDevice_.empty()) return;
  // The serial road opens port 1 for any number below 1.
  BoxOf(CommBox::Device).text = devices_->DeviceFor(std::max(1, comPort));
}
