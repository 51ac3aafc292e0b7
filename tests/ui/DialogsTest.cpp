// The Communication Settings dialog through its widgets: enabling rules,
// value fills, the operator's choices, the typed numbers, and its save
// button's round trip through the settings store and the port map.

#include <QPushButton>
#include <climits>
#include <memory>

#include "dialogs/CommSettingsDlg.h"
#include "link/ComPortMap.h"
#include "tests/ui/UiTestSupport.h"

namespace {

class CommSettingsTest : public CUiTest {
 protected:
  // A dialog opened on these fields, initialised as its modal run does.
  void Open(const CCommSettings& fields) {
    dialog = std::make_unique<CCommSettingsDlg>();
    dialog->protocol = fields.protocol;
    dialog->connection = fields.connection;
    dialog->comPort = fields.comPort;
    dialog->baudRate = fields.baudRate;
    dialog->byteSize = fields.byteSize;
    dialog->parity = fields.parity;
    dialog->stopBits = fields.stopBits;
    ExpectDialogOf([](QDialog&) { return int(QDialog::Rejected); });
    dialog->DoModal();
  }
  void Open(const std::string& connection) { Open({"alpha", connection, 3, 9600, 7, "even", 1}); }
  QComboBox* List(int id) { return Control<QComboBox>(*dialog, id); }
  void Retype(int id, const QString& text) {
    List(id)->lineEdit()->clear();
    Type(List(id), text);
  }

  std::unique_ptr<CCommSettingsDlg> dialog;
};

TEST_F(CommSettingsTest, OpeningFollowsTheConnection) {
  const struct {
    const char* connection;
    bool protocol;
    bool comPort;
    bool lineSettings;  // baud rate, byte size, parity, stop bits
    bool filled;
  } rows[] = {{"", false, false, false, false},
              {"usb - betabrite prism", false, false, false, false},
              {"serial port - betabrite classic", false, true, false, true},
              {"serial port - custom settings", true, true, true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.connection);
    Open(row.connection);
    EXPECT_EQ(List(1038)->currentText().toStdString(), row.connection);
    EXPECT_EQ(List(1035)->isEnabled(), row.protocol);
    EXPECT_EQ(List(1032)->isEnabled(), row.comPort);
    EXPECT_EQ(List(1040)->isEnabled(), row.comPort) << "the device goes with the port";
    for (int id : {1033, 1034, 1036, 1037}) {
      EXPECT_EQ(List(id)->isEnabled(), row.lineSettings) << "control " << id;
    }
    EXPECT_EQ(List(1032)->currentText(), row.filled ? "3" : "");
    EXPECT_EQ(List(1033)->currentText(), row.filled ? "9600" : "");
    EXPECT_EQ(List(1036)->currentText(), row.filled ? "even" : "");
  }
}

TEST_F(CommSettingsTest, ChoosingAConnectionPresetsTheValues) {
  Open("serial port - custom settings");
  Choose(List(1038), "usb - betabrite prism");
  EXPECT_EQ(dialog->comPort, 0);
  EXPECT_EQ(dialog->baudRate, 0);
  EXPECT_EQ(List(1033)->currentText(), "");
  EXPECT_FALSE(List(1032)->isEnabled());

  Choose(List(1038), "serial port - betabrite classic");
  EXPECT_EQ(dialog->comPort, 0) << "the port waits for the operator";
  EXPECT_EQ(dialog->baudRate, 9600);
  EXPECT_EQ(dialog->parity, "even");
  EXPECT_EQ(List(1033)->currentText(), "9600");
  EXPECT_FALSE(List(1033)->isEnabled());

  Choose(List(1038), "serial port - custom settings");
  EXPECT_EQ(dialog->baudRate, 9600) << "custom keeps what was there";
  for (int id : {1032, 1033, 1034, 1036, 1037}) EXPECT_TRUE(List(id)->isEnabled()) << id;
  EXPECT_FALSE(List(1035)->isEnabled()) << "only an opening on custom settings enables it";
}

TEST(CommSettingsIntegerValue, ReadsLeadingDecimalDigits) {
  const struct {
    const char* text;
    int value;
  } rows[] = {{"12ab", 12},
              {"  -7", -7},
              {"+5", 5},
              {"abc", 0},
              {"0x10", 0},
              {"- 3", 0},
              {"99999999999", INT_MAX},
              {"-99999999999", INT_MIN}};
  for (const auto& row : rows) {
    EXPECT_EQ(CCommSettingsDlg::IntegerValue(QString::fromLatin1(row.text)), row.value)
        << '"' << row.text << '"';
  }
}

TEST_F(CommSettingsTest, SaveStoresWhatIsShownAndTheChosenDevice) {
  Open("serial port - betabrite classic");
  EXPECT_EQ(List(1040)->currentText().toStdString(), DevicePathForComPort(3));
  Choose(List(1032), "1");
  EXPECT_EQ(List(1040)->currentText(), kMissingPort) << "COM1 follows RAVELLE_COM1";

  Choose(List(1038), "serial port - custom settings");
  Choose(List(1032), "2");
  Retype(1033, "14400");
  EXPECT_EQ(List(1033)->findText("14400"), -1) << "typed text never becomes an entry";
  Choose(List(1036), " ");
  Retype(1040, "/dev/ttyUSB7");
  EXPECT_NE(DevicePathForComPort(2), "/dev/ttyUSB7") << "nothing is stored before the save";
  Click(Control<QPushButton>(*dialog, 1039));
  EXPECT_EQ(DevicePathForComPort(2), "/dev/ttyUSB7");
  const CRavelleDoc saved = Saved();
  EXPECT_EQ(saved.comPort, 2);
  EXPECT_EQ(saved.baudRate, 14400);
  EXPECT_EQ(saved.parity, " ");

  Open({"alpha", saved.connection, saved.comPort, saved.baudRate, 7, saved.parity, 1});
  EXPECT_EQ(List(1033)->currentText(), "14400");
  EXPECT_EQ(List(1036)->currentText(), " ");
  EXPECT_EQ(List(1040)->currentText(), "/dev/ttyUSB7");

  Choose(List(1038), "usb - betabrite prism");
  Click(Control<QPushButton>(*dialog, 1039));
  EXPECT_EQ(dialog->comPort, 1) << "the save sets the dialog's own port";
  EXPECT_EQ(Saved().connection, "usb - betabrite prism");
  EXPECT_EQ(Saved().comPort, 1);
}

}  // namespace
