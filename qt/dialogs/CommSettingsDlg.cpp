#include "qt/dialogs/CommSettingsDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "qt/framework/ComboEntries.h"
#include "qt/framework/TemplateLayout.h"
#include "qt/framework/Windows1252Text.h"

namespace {

// Device names are paths as the system spells them; every other box
// holds Windows-1252.
QString ShownText(CommBox box, const std::string& text) {
  return box == CommBox::Device ? QString::fromStdString(text) : FromWindows1252(text);
}

std::string TakenText(CommBox box, const QString& text) {
  return box == CommBox::Device ? text.toStdString() : ToWindows1252(text);
}

}  // namespace

CCommSettingsDlg::CCommSettingsDlg(CMessageBoxSeam& messages, QWidget* parent)
    : CModalDialog(parent), CCommSettingsEditor(registry_, messages, &devices_) {
  setWindowTitle(QStringLiteral("Communication Settings..."));
  CTemplateLayout layout(*this);
  layout.SetTemplateSize(366, 318);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  layout.Place(*ok, 1, 309, 7, 50, 14);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  layout.Place(*cancel, 2, 309, 24, 50, 14);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  // Created in the template's order, which is also the tab order.
  AddList(CommBox::ComPort, 1032, "Comport:", 84, 110, 169);
  AddList(CommBox::BaudRate, 1033, "Baud Rate:", 104, 110, 129);
  AddList(CommBox::ByteSize, 1034, "Byte Size:", 124, 110, 109);
  AddList(CommBox::Protocol, 1035, "Protocol:", 44, 110, 209);
  AddList(CommBox::Parity, 1036, "Parity:", 144, 110, 89);
  AddList(CommBox::StopBits, 1037, "Stop Bits:", 164, 110, 69);
  AddList(CommBox::Connection, 1038, "Connection:", 63, 110, 189);
  AddList(CommBox::Device, 1040, "Device:", 186, 224, 109);
  // A device server on the network: where it listens and how it is spoken to.
  AddList(CommBox::Host, 1041, "Host:", 206, 224, 14);
  AddList(CommBox::TcpPort, 1042, "TCP Port:", 226, 110, 14);
  AddList(CommBox::TcpProtocol, 1043, "TCP Protocol:", 246, 110, 49);
  networkNote_ = new QLabel(this);
  networkNote_->setEnabled(false);  // a quiet line, drawn greyed
  layout.Place(*networkNote_, 1044, 135, 264, 224, 10);

  auto* save = new QPushButton(
      QStringLiteral("Save Communication Settings To Registry (Current User Area)"), this);
  layout.Place(*save, 1039, 135, 284, 224, 14);
  connect(save, &QPushButton::clicked, this, [this] {
    Save();
    RefreshBoxes();
  });
}

QComboBox* CCommSettingsDlg::AddList(CommBox box, int id, const char* label, int y, int width,
                                     int droppedHeight) {
  CTemplateLayout layout(*this);
  auto* caption = new QLabel(QString::fromLatin1(label), this);
  caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  layout.Place(*caption, 0, 40, y, 90, 13);
  auto* list = new QComboBox(this);
  list->setEditable(TakesTypedText(box));
  QStringList entries;
  for (const std::string& entry : Entries(box)) entries << ShownText(box, entry);
  FillComboEntries(*list, entries, false);
  layout.PlaceCombo(*list, id, 135, y, width, droppedHeight);
  caption->setBuddy(list);
  lists_[static_cast<int>(box)] = list;

  // The operator's own choices; the editor's changes shown by program raise none.
  connect(list, &QComboBox::activated, this, [this, box, list](int index) {
    Choose(box, TakenText(box, list->itemText(index)));
    RefreshBoxes();
  });
  if (list->isEditable()) {
    connect(list->lineEdit(), &QLineEdit::textEdited, this, [this, box](const QString& text) {
      Type(box, TakenText(box, text));
      RefreshBoxes();
    });
  }
  return list;
}

void CCommSettingsDlg::OnInitDialog() {
  Open();
  RefreshBoxes();
}

void CCommSettingsDlg::RefreshBoxes() {
  for (int i = 0; i < kCommBoxCount; ++i) {
    if (lists_[i] == nullptr) continue;  // a box this view does not show
    const auto box = static_cast<CommBox>(i);
    QComboBox& list = *lists_[i];
    list.setEnabled(Box(box).enabled);
    const QString text = ShownText(box, Box(box).text);
    if (list.isEditable()) {
      // Only a real change is written, so the caret stays where the operator left it.
      if (list.currentText() != text) list.setEditText(text);
    } else {
      const int index = text.isEmpty() ? -1 : list.findText(text);
      if (list.currentIndex() != index) list.setCurrentIndex(index);
    }
  }
  networkNote_->setText(FromWindows1252(NetworkNote()));
}
