// The Communication Settings dialog's wiring: each widget shows its box of
// the editor and hands the operator's choices, typing and the save button
// to it. The rules themselves are tested without widgets (tests/dialogs).

#include <QPushButton>
#include <fstream>
#include <memory>

#include "link/ComPortMap.h"
#include "qt/dialogs/CommSettingsDlg.h"
#include "tests/ui/UiTestSupport.h"

namespace {

class CommSettingsTest : public CUiTest {
 protected:
  // A dialog opened on these fields, initialised as its modal run does.
  void Open(const CCommSettings& settings) {
    dialog = std::make_unique<CCommSettingsDlg>(messages);
    static_cast<CCommSettings&>(*dialog) = settings;
    ExpectDialogOf([](QDialog&) { return int(QDialog::Rejected); });
    dialog->DoModal();
  }
  QComboBox* List(int id) { return Control<QComboBox>(*dialog, id); }
  // Every widget shows what its box of the editor holds, and lists its entries.
  void ExpectWidgetsShowTheEditor() {
    const std::pair<int, CommBox> boxes[] = {{1032, CommBox::ComPort},    {1033, CommBox::BaudRate},
                                             {1034, CommBox::ByteSize},   {1035, CommBox::Protocol},
                                             {1036, CommBox::Parity},     {1037, CommBox::StopBits},
                                             {1038, CommBox::Connection}, {1040, CommBox::Device}};
    for (const auto& [id, box] : boxes) {
      SCOPED_TRACE(id);
      QStringList entries;
      for (const std::string& entry : dialog->Entries(box))
        entries << QString::fromStdString(entry);
      QStringList shown;
      for (int i = 0; i < List(id)->count(); ++i) shown << List(id)->itemText(i);
      EXPECT_EQ(shown, entries);
      EXPECT_EQ(List(id)->isEnabled(), dialog->Box(box).enabled);
      EXPECT_EQ(List(id)->currentText().toStdString(), dialog->Box(box).text);
    }
  }

  CRecordingMessageBoxes messages;
  std::unique_ptr<CCommSettingsDlg> dialog;
};

TEST_F(CommSettingsTest, EachWidgetShowsAndFeedsItsBox) {
  Open({"alpha", "serial port - betabrite classic", 3, 9600, 7, "even", 1});
  EXPECT_EQ(List(1040)->currentText().toStdString(), DevicePathForComPort(3));
  ExpectWidgetsShowTheEditor();
  Choose(List(1032), "1");
  EXPECT_EQ(List(1040)->currentText(), kMissingPort) << "COM1 follows RAVELLE_COM1";

  Choose(List(1038), "serial port - custom settings");
  Choose(List(1032), "2");
  List(1033)->lineEdit()->clear();
  Type(List(1033), "14400");
  EXPECT_EQ(List(1033)->findText("14400"), -1) << "typed text never becomes an entry";
  Choose(List(1034), "8");
  Choose(List(1036), " ");
  Choose(List(1037), "2");
  List(1040)->lineEdit()->clear();
  Type(List(1040), "/dev/ttyUSB7");
  ExpectWidgetsShowTheEditor();
  EXPECT_NE(DevicePathForComPort(2), "/dev/ttyUSB7") << "nothing is stored before the save";
  Click(Control<QPushButton>(*dialog, 1039));
  EXPECT_EQ(DevicePathForComPort(2), "/dev/ttyUSB7");
  const CRavelleDoc saved = Saved();
  EXPECT_EQ(std::tie(saved.connection, saved.comPort, saved.baudRate, saved.byteSize, saved.parity,
                     saved.stopBits),
            std::make_tuple(std::string("serial port - custom settings"), 2, 14400, 8,
                            std::string(" "), 2));

  Open(saved);
  ExpectWidgetsShowTheEditor();
  EXPECT_EQ(List(1033)->currentText(), "14400");
  EXPECT_EQ(List(1040)->currentText(), "/dev/ttyUSB7");
  Choose(List(1038), "usb - betabrite prism");
  ExpectWidgetsShowTheEditor();
  Click(Control<QPushButton>(*dialog, 1039));
  EXPECT_EQ(dialog->comPort, 1) << "the save sets the dialog's own port";
  EXPECT_EQ(messages.shown, std::vector<std::string>{});

  std::ofstream(qEnvironmentVariable("XDG_CONFIG_HOME").toStdString() + "/ravelle/settings.reg")
      << "garbage\n";
  Click(Control<QPushButton>(*dialog, 1039));
  EXPECT_EQ(messages.shown.size(), 1u) << "a failed save says so";
}

}  // namespace
