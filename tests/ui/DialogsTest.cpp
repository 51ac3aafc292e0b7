// The Communication Settings dialog through its widgets: enabling rules,
// value fills, the operator's choices, the typed numbers, and its save
// button's round trip through the settings store and the port map.

#include <unistd.h>

#include <QPushButton>
#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "link/ComPortMap.h"
#include "qt/dialogs/CommSettingsDlg.h"
#include "tests/ui/UiTestSupport.h"

namespace {

class CommSettingsTest : public CUiTest {
 protected:
  // A dialog opened on these fields, initialised as its modal run does.
  void Open(const std::string& connection, int comPort = 3, int baudRate = 9600,
            const std::string& parity = "even") {
    dialog = std::make_unique<CCommSettingsDlg>(messages);
    dialog->connection = connection;
    dialog->comPort = comPort;
    dialog->baudRate = baudRate;
    dialog->parity = parity;
    ExpectDialogOf([](QDialog&) { return int(QDialog::Rejected); });
    dialog->DoModal();
  }
  QComboBox* List(int id) { return Control<QComboBox>(*dialog, id); }

  CRecordingMessageBoxes messages;
  std::unique_ptr<CCommSettingsDlg> dialog;
};

// Opening on a connection, or choosing it after opening on other custom settings,
// enables what that connection lets the operator change and fills in its
// values: USB blanks them, the sign's own serial choice presets the line and
// keeps the port, custom settings keep what was there.
TEST_F(CommSettingsTest, TheConnectionSetsWhatCanBeChanged) {
  const struct {
    const char* connection;
    bool protocol;
    bool port;             // the COM port and its device
    bool line;             // baud rate, byte size, parity, stop bits
    const char* shown[2];  // port, baud rate and parity: opened, chosen
  } rows[] = {
      {"", false, false, false, {"  ", ""}},
      {"usb - betabrite prism", false, false, false, {"  ", "   "}},
      {"serial port - betabrite classic", false, true, false, {"3 9600 even", "5 9600 even"}},
      {"serial port - custom settings", true, true, true, {"3 9600 even", "5 19200 odd"}}};
  for (const auto& row : rows) {
    for (bool chosen : {false, true}) {
      if (chosen && !*row.connection) continue;
      SCOPED_TRACE(testing::Message() << '"' << row.connection << (chosen ? "\" chosen" : "\""));
      chosen ? Open("serial port - custom settings", 5, 19200, "odd") : Open(row.connection);
      if (chosen) Choose(List(1038), row.connection);
      EXPECT_EQ(List(1038)->currentText().toStdString(), row.connection);
      EXPECT_EQ(List(1035)->isEnabled(), row.protocol && !chosen) << "only on opening";
      for (int id : {1032, 1040}) EXPECT_EQ(List(id)->isEnabled(), row.port) << id;
      for (int id : {1033, 1034, 1036, 1037}) EXPECT_EQ(List(id)->isEnabled(), row.line) << id;
      const QStringList shown = {List(1032)->currentText(), List(1033)->currentText(),
                                 List(1036)->currentText()};
      EXPECT_EQ(shown.join(' ').toStdString(), row.shown[chosen]);
    }
  }
}

TEST(CommSettingsIntegerValue, ReadsLeadingDecimalDigits) {
  const std::pair<const char*, int> rows[] = {{"12ab", 12},
                                              {"  -7", -7},
                                              {"+5", 5},
                                              {"abc", 0},
                                              {"0x10", 0},
                                              {"- 3", 0},
                                              {"99999999999", INT_MAX},
                                              {"-99999999999", INT_MIN}};
  for (const auto& [text, value] : rows) {
    EXPECT_EQ(CCommSettingsDlg::IntegerValue(QString::fromLatin1(text)), value) << text;
  }
}

TEST_F(CommSettingsTest, SaveStoresWhatIsShownAndTheChosenDevice) {
  Open("serial port - betabrite classic");
  EXPECT_EQ(List(1040)->currentText().toStdString(), DevicePathForComPort(3));
  Choose(List(1032), "1");
  EXPECT_EQ(List(1040)->currentText(), kMissingPort) << "COM1 follows RAVELLE_COM1";

  Choose(List(1038), "serial port - custom settings");
  Choose(List(1032), "2");
  List(1033)->lineEdit()->clear();
  Type(List(1033), "14400");
  EXPECT_EQ(List(1033)->findText("14400"), -1) << "typed text never becomes an entry";
  Choose(List(1036), " ");
  List(1040)->lineEdit()->clear();
  Type(List(1040), "/dev/ttyUSB7");
  EXPECT_NE(DevicePathForComPort(2), "/dev/ttyUSB7") << "nothing is stored before the save";
  Click(Control<QPushButton>(*dialog, 1039));
  EXPECT_EQ(DevicePathForComPort(2), "/dev/ttyUSB7");
  const CRavelleDoc saved = Saved();
  EXPECT_EQ(saved.comPort, 2);
  EXPECT_EQ(saved.baudRate, 14400);
  EXPECT_EQ(saved.parity, " ");

  Open(saved.connection, saved.comPort, saved.baudRate, saved.parity);
  EXPECT_EQ(List(1033)->currentText(), "14400");
  EXPECT_EQ(List(1036)->currentText(), " ");
  EXPECT_EQ(List(1040)->currentText(), "/dev/ttyUSB7");

  Choose(List(1038), "usb - betabrite prism");
  Click(Control<QPushButton>(*dialog, 1039));
  EXPECT_EQ(dialog->comPort, 1) << "the save sets the dialog's own port";
  EXPECT_EQ(Saved().connection, "usb - betabrite prism");
  EXPECT_EQ(Saved().comPort, 1);
}

// A save that did not happen says so in one message box naming the file
// and the reason, and the operator's pick of device stays for another try;
// a save that worked stays quiet.
TEST_F(CommSettingsTest, AFailedSaveSaysWhyInOneMessageBox) {
  const std::filesystem::path folder =
      std::filesystem::path(qEnvironmentVariable("XDG_CONFIG_HOME").toStdString()) / "ravelle";
  const std::string store = (folder / "settings.reg").string();
  Open("serial port - betabrite classic");
  QPushButton* save = Control<QPushButton>(*dialog, 1039);
  Click(save);
  EXPECT_EQ(messages.shown, std::vector<std::string>{});

  struct Row {
    const char* name;
    std::function<void()> spoil;
    std::string reason;
  };
  std::vector<Row> rows = {
      {"a file it cannot read", [&] { std::ofstream(store) << "garbage\n"; },
       store + " cannot be read: line 1: the first line is not \"Windows Registry Editor "
               "Version 5.00\""},
      {"its folder's name taken",
       [&] {
         std::filesystem::remove_all(folder);
         std::ofstream(folder) << "in the way";
       },
       store + " cannot be written: its folder cannot be made: " + std::strerror(EEXIST)}};
  if (geteuid() != 0) {  // the system lets root write into a read-only folder
    rows.push_back({"a read-only folder",
                    [&] {
                      std::filesystem::remove_all(folder);
                      std::filesystem::create_directories(folder);
                      std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_exec);
                    },
                    store + " cannot be written: " + std::strerror(EACCES)});
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.spoil();
    messages.shown.clear();
    List(1040)->lineEdit()->clear();
    Type(List(1040), "/dev/ttyUSB3");
    Click(save);
    EXPECT_EQ(messages.shown,
              std::vector<std::string>{"Ravelle: The communication settings were not saved.\n\n" +
                                       row.reason});
    EXPECT_EQ(List(1040)->currentText(), "/dev/ttyUSB3") << "the pick stays for another try";
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder);
  }
  messages.shown.clear();
  Click(save);
  EXPECT_EQ(messages.shown, std::vector<std::string>{});
  EXPECT_EQ(DevicePathForComPort(3), "/dev/ttyUSB3");
}

}  // namespace
