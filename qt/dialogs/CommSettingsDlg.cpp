#include "qt/dialogs/CommSettingsDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <climits>
#include <optional>

#include "game/RavelleDoc.h"
#include "link/ComPortMap.h"
#include "link/MessageBoxSeam.h"
#include "qt/framework/ComboEntries.h"
#include "qt/framework/TemplateLayout.h"
#include "qt/framework/Windows1252Text.h"
#include "settings/SavedSettings.h"

namespace {

constexpr int kDeviceBoxId = 1040;

QString Decimal(int value) { return QString::number(value); }

}  // namespace

CCommSettingsDlg::CCommSettingsDlg(CMessageBoxSeam& messages, QWidget* parent)
    : CModalDialog(parent), messages_(messages) {
  setWindowTitle(QStringLiteral("Communication Settings..."));
  CTemplateLayout layout(*this);
  layout.SetTemplateSize(366, 260);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  layout.Place(*ok, 1, 309, 7, 50, 14);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  layout.Place(*cancel, 2, 309, 24, 50, 14);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  // Created in the template's order, which is also the tab order.
  comPortBox_ =
      AddList(1032, "Comport:", 84, 110, 169, {"1", "2", "3", "4", "5", "6", "7", "8"}, true, true);
  baudRateBox_ = AddList(1033, "Baud Rate:", 104, 110, 129, {"9600"}, true, true);
  byteSizeList_ = AddList(1034, "Byte Size:", 124, 110, 109, {" ", "7", "8"}, true, false);
  protocolList_ = AddList(1035, "Protocol:", 44, 110, 209, {"alpha"}, true, false);
  parityList_ = AddList(1036, "Parity:", 144, 110, 89, {" ", "none", "even", "odd"}, false, false);
  stopBitsList_ = AddList(1037, "Stop Bits:", 164, 110, 69, {" ", "1", "2"}, true, false);
  connectionList_ = AddList(
      1038, "Connection:", 63, 110, 189,
      {kConnectionSerialClassic, kConnectionSerialCustom, kConnectionUsbPrism}, false, false);
  QStringList devices;
  for (const std::string& device : ListSerialDevices()) devices << QString::fromStdString(device);
  deviceBox_ = AddList(kDeviceBoxId, "Device:", 186, 224, 109, devices, false, true);

  saveButton_ = new QPushButton(
      QStringLiteral("Save Communication Settings To Registry (Current User Area)"), this);
  layout.Place(*saveButton_, 1039, 135, 226, 224, 14);
  connect(saveButton_, &QPushButton::clicked, this, [this] { SaveCommSettings(); });

  // The operator's own choices; filling the boxes by program raises none.
  connect(comPortBox_, &QComboBox::activated, this,
          [this](int index) { SetComPort(IntegerValue(comPortBox_->itemText(index))); });
  connect(comPortBox_->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { SetComPort(IntegerValue(text)); });
  connect(baudRateBox_, &QComboBox::activated, this,
          [this](int index) { baudRate = IntegerValue(baudRateBox_->itemText(index)); });
  connect(baudRateBox_->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { baudRate = IntegerValue(text); });
  connect(byteSizeList_, &QComboBox::activated, this,
          [this](int index) { byteSize = IntegerValue(byteSizeList_->itemText(index)); });
  connect(parityList_, &QComboBox::activated, this,
          [this](int index) { parity = ToWindows1252(parityList_->itemText(index)); });
  connect(stopBitsList_, &QComboBox::activated, this,
          [this](int index) { stopBits = IntegerValue(stopBitsList_->itemText(index)); });
  connect(connectionList_, &QComboBox::activated, this,
          [this](int index) { OnConnectionChosen(index); });
  connect(deviceBox_, &QComboBox::activated, this,
          [this](int index) { chosenDevice_ = deviceBox_->itemText(index).toStdString(); });
  connect(deviceBox_->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { chosenDevice_ = text.trimmed().toStdString(); });
}

QComboBox* CCommSettingsDlg::AddList(int id, const char* label, int y, int width, int droppedHeight,
                                     QStringList entries, bool sorted, bool typed) {
  CTemplateLayout layout(*this);
  auto* caption = new QLabel(QString::fromLatin1(label), this);
  caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  layout.Place(*caption, 0, 40, y, 90, 13);
  auto* list = new QComboBox(this);
  list->setEditable(typed);
  FillComboEntries(*list, std::move(entries), sorted);
  layout.PlaceCombo(*list, id, 135, y, width, droppedHeight);
  caption->setBuddy(list);
  return list;
}

int CCommSettingsDlg::IntegerValue(const QString& text) {
  qsizetype i = 0;
  while (i < text.size() && text[i].isSpace()) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    // Held at the int range rather than wrapping round.
    value = std::min<long long>(value * 10 + (text[i].unicode() - u'0'), 1LL + INT_MAX);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

void CCommSettingsDlg::SetSerialBoxesEnabled(bool comPortBox, bool lineSettings) {
  comPortBox_->setEnabled(comPortBox);
  deviceBox_->setEnabled(comPortBox);
  stopBitsList_->setEnabled(lineSettings);
  parityList_->setEnabled(lineSettings);
  byteSizeList_->setEnabled(lineSettings);
  baudRateBox_->setEnabled(lineSettings);
}

void CCommSettingsDlg::OnInitDialog() {
  SelectEntryByPrefix(*protocolList_, FromWindows1252(protocol));
  SelectEntryByPrefix(*connectionList_, FromWindows1252(connection));
  connectionList_->setEnabled(true);
  if (connection == kConnectionSerialCustom) {
    protocolList_->setEnabled(true);
    SetSerialBoxesEnabled(true, true);
    FillValues();
  } else if (connection == kConnectionSerialClassic) {
    protocolList_->setEnabled(false);
    SetSerialBoxesEnabled(true, false);
    FillValues();
  } else {
    protocolList_->setEnabled(false);
    SetSerialBoxesEnabled(false, false);
  }
  ShowMappedDevice();
}

void CCommSettingsDlg::FillValues() {
  comPortBox_->setEditText(Decimal(comPort));
  SelectEntryByPrefix(*stopBitsList_, Decimal(stopBits));
  SelectEntryByPrefix(*byteSizeList_, Decimal(byteSize));
  SelectEntryByPrefix(*parityList_, FromWindows1252(parity));
  baudRateBox_->setEditText(Decimal(baudRate));
}

void CCommSettingsDlg::OnConnectionChosen(int index) {
  connection = ToWindows1252(connectionList_->itemText(index).trimmed());
  protocolList_->setEnabled(false);
  connectionList_->setEnabled(true);
  SetSerialBoxesEnabled(false, false);
  if (connection == kConnectionUsbPrism) {
    comPort = 0;
    baudRate = 0;
    byteSize = 0;
    parity = "";
    stopBits = 0;
    comPortBox_->setEditText(QString());
    baudRateBox_->setEditText(QString());
    SelectEntryByPrefix(*stopBitsList_, QStringLiteral(" "));
    SelectEntryByPrefix(*byteSizeList_, QStringLiteral(" "));
    SelectEntryByPrefix(*parityList_, QStringLiteral(" "));
    chosenDevice_.clear();
  } else if (connection == kConnectionSerialClassic) {
    SetSerialBoxesEnabled(true, false);
    baudRate = 9600;
    byteSize = 7;
    parity = "even";
    stopBits = 1;
    baudRateBox_->setEditText(QStringLiteral("9600"));
    SelectEntryByPrefix(*stopBitsList_, QStringLiteral("1"));
    SelectEntryByPrefix(*byteSizeList_, QStringLiteral("7"));
    SelectEntryByPrefix(*parityList_, QStringLiteral("even"));
  } else if (connection == kConnectionSerialCustom) {
    SetSerialBoxesEnabled(true, true);
  }
  ShowMappedDevice();
}

void CCommSettingsDlg::SetComPort(int port) {
  comPort = port;
  // A new number shows its own device; an earlier pick belonged to the old one.
  chosenDevice_.clear();
  ShowMappedDevice();
}

void CCommSettingsDlg::ShowMappedDevice() {
  if (!chosenDevice_.empty()) return;
  // The serial road opens port 1 for any number below 1. A map that cannot
  // be read shows no device rather than the one a missing map would give.
  deviceBox_->setEditText(QString::fromStdString(FindComPortDevice(std::max(1, comPort)).path));
}

void CCommSettingsDlg::SaveCommSettings() {
  std::optional<CSettingsProblem> problem = ::SaveCommSettings(*this, registry_);
  if (!chosenDevice_.empty() && chosenDevice_ != FindComPortDevice(comPort).path) {
    CSettingsProblem deviceProblem;
    if (SaveComPortDevice(comPort, chosenDevice_, &deviceProblem)) {
      chosenDevice_.clear();
    } else if (!problem) {
      // The pick stays in the box, so that a second save can store it.
      problem = std::move(deviceProblem);
    }
  } else {
    chosenDevice_.clear();
  }
  ShowMappedDevice();
  if (problem) {
    messages_.Show(ToWindows1252(QStringLiteral("The communication settings were not saved.\n\n") +
                                 QString::fromLocal8Bit(problem->text.c_str())),
                   kApplicationName, CMessageBoxSeam::Icon::Exclamation);
  }
}
