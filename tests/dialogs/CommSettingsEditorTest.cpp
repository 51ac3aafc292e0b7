#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <map>
#include <optional>

#include "dialogs/ColorOptionsEditor.h"
#include "dialogs/CommSettingsEditor.h"
#include "dialogs/PortDevices.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "tests/settings/TemporaryConfigHome.h"
#include "tests/support/SeamFakes.h"

namespace {

// A port map in memory: port n leads to /dev/ttyS<n-1> until a device is kept.
class CFakePortDevices : public CPortDevices {
 public:
  std::vector<std::string> Present() override { return {"/dev/ttyUSB0"}; }
  std::string DeviceFor(int port) override {
    return kept.count(port) ? kept[port] : "/dev/ttyS" + std::to_string(port - 1);
  }
  std::optional<CSettingsProblem> Keep(int port, const std::string& device) override {
    if (!refusal.empty()) return CSettingsProblem{13, refusal};
    kept[port] = device;
    return std::nullopt;
  }
  std::map<int, std::string> kept;
  std::string refusal;
};

const CCommSettings kCustom{"ALPHA", kConnectionSerialCustom, 5, 19200, 8, "odd", 2};

class CommSettingsEditorTest : public TemporaryConfigHome {
 protected:
  // A new editor for every opening, as a new dialog is made for each; no
  // port map where there is none (Windows).
  void Open(const CCommSettings& settings, bool portMap = true) {
    editor.emplace(registry, messages, portMap ? &devices : nullptr);
    static_cast<CCommSettings&>(*editor) = settings;
    editor->Open();
  }
  // The enabled boxes, one letter each (Protocol, Connection, comport,
  // baud rate, bYte size, parity, stop bits, device, host, tcp port, tcp
  // protocol (r)), then what Comport,
  // Baud Rate, Byte Size, Parity and Stop Bits show, then the five fields.
  std::string State() const {
    std::string state;
    for (int box = 0; box < kCommBoxCount; ++box) {
      if (editor->Box(static_cast<CommBox>(box)).enabled) state += "PCcbypsdhtr"[box];
    }
    for (CommBox box : {CommBox::ComPort, CommBox::BaudRate, CommBox::ByteSize, CommBox::Parity,
                        CommBox::StopBits}) {
      state += "|" + editor->Box(box).text;
    }
    return state + " = " + std::to_string(editor->comPort) + ' ' +
           std::to_string(editor->baudRate) + ' ' + std::to_string(editor->byteSize) + ' ' +
           editor->parity + ' ' + std::to_string(editor->stopBits);
  }

  CRegistryAccess registry;
  CRecordingMessageBoxes messages;
  CFakePortDevices devices;
  std::optional<CCommSettingsEditor> editor;
};

// Opening on a connection (with 0 data and stop bits, which match no entry),
// or choosing it after opening on custom settings: what it enables and what
// it fills in. USB blanks the values, the sign's own serial line presets the
// line and keeps the port, custom settings keep what was there; the
// Protocol list is enabled only when opening on custom settings.
TEST_F(CommSettingsEditorTest, TheConnectionSetsWhatCanBeChangedAndWhatIsShown) {
  const struct {
    const char* connection;
    const char* opened;
    const char* chosen;
  } rows[] = {{"", "C||||| = 3 9600 0 even 0", nullptr},
              {kConnectionUsbPrism, "C||||| = 3 9600 0 even 0", "C||| | |  = 0 0 0  0"},
              {kConnectionSerialClassic, "Ccd|3|9600||even| = 3 9600 0 even 0",
               "Ccd|5|9600|7|even|1 = 5 9600 7 even 1"},
              {kConnectionSerialCustom, "PCcbypsd|3|9600||even| = 3 9600 0 even 0",
               "Ccbypsd|5|19200|8|odd|2 = 5 19200 8 odd 2"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.connection);
    Open({"alpha", row.connection, 3, 9600, 0, "even", 0});
    EXPECT_EQ(State(), row.opened);
    EXPECT_EQ(editor->Box(CommBox::Connection).text, row.connection);
    if (row.chosen == nullptr) continue;
    Open(kCustom);
    editor->Choose(CommBox::Connection, row.connection);
    EXPECT_EQ(State(), row.chosen);
    EXPECT_EQ(editor->Box(CommBox::Protocol).text, "alpha") << "selected by prefix";
    EXPECT_EQ(editor->protocol, "ALPHA") << "never changed here";
  }
}

TEST(IntegerValue, ReadsLeadingDecimalDigits) {
  const std::pair<const char*, int> rows[] = {{"12ab", 12},
                                              {"  -7", -7},
                                              {"+5", 5},
                                              {" ", 0},
                                              {"- 3", 0},
                                              {"99999999999", INT_MAX},
                                              {"-99999999999", INT_MIN}};
  for (const auto& [text, value] : rows) EXPECT_EQ(IntegerValue(text), value) << text;
}

// Typed numbers read as integers and the box keeps the text, which comes
// back as typed when the dialog is opened on it again. Disabled boxes,
// typing into a list and texts that are no entry take no input.
TEST_F(CommSettingsEditorTest, TheOperatorsInput) {
  Open(kCustom);
  editor->Type(CommBox::ComPort, "12ab");
  editor->Type(CommBox::BaudRate, "14400");
  editor->Choose(CommBox::Parity, " ");
  editor->Choose(CommBox::StopBits, "3");
  editor->Type(CommBox::ByteSize, "7");
  EXPECT_EQ(State(), "PCcbypsd|12ab|14400|8| |2 = 12 14400 8   2");
  Open(CCommSettings(*editor));
  EXPECT_EQ(State(), "PCcbypsd|12|14400|8| |2 = 12 14400 8   2");
  editor->Choose(CommBox::Connection, kConnectionUsbPrism);
  editor->Type(CommBox::ComPort, "7");
  editor->Choose(CommBox::Parity, "odd");
  EXPECT_EQ(State(), "C||| | |  = 0 0 0  0");
}

// The save stores the fields, a port below 1 as 1 (the editor's own port
// too, for OK to carry), then the device picked for the port, which a new
// port number drops. A save that works is quiet.
TEST_F(CommSettingsEditorTest, SaveStoresTheSettingsThenThePickedDevice) {
  Open(kCustom);
  EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyS4");
  editor->Type(CommBox::Device, " /dev/ttyUSB7 ");
  editor->Type(CommBox::ComPort, "2");
  EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyS1");
  editor->Type(CommBox::Device, " /dev/ttyUSB7 ");
  editor->Save();
  EXPECT_EQ(devices.kept, (std::map<int, std::string>{{2, "/dev/ttyUSB7"}}));
  EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyUSB7");

  editor->Choose(CommBox::Connection, kConnectionUsbPrism);
  editor->Save();
  EXPECT_EQ(editor->comPort, 1);
  CCommSettings saved;
  ASSERT_TRUE(ReadSavedSettings(saved, registry));
  EXPECT_EQ(std::tie(saved.connection, saved.comPort, saved.baudRate, saved.parity),
            std::make_tuple(kConnectionUsbPrism, 1, 0, ""));
  EXPECT_EQ(messages.texts, std::vector<std::string>{});
}

// A save that did not happen says why in one message box, the store's
// problem before the device's; the device pick stays for another try.
TEST_F(CommSettingsEditorTest, AFailedSaveSaysWhyInOneMessageBox) {
  Open(kCustom);
  const std::string unreadable = StoreFile().string() +
                                 " cannot be read: line 1: the first line is not \"Windows "
                                 "Registry Editor Version 5.00\"";
  const std::string refused = "/dev/ttyUSB0: not kept";
  const struct {
    bool badFile, refuse, readOnlyFolder;
    std::string reason;
  } rows[] = {
      {true, false, false, unreadable},
      {false, true, false, refused},
      {true, true, false, unreadable},
      {false, false, true, StoreFile().string() + " cannot be written: " + std::strerror(EACCES)}};
  const std::filesystem::path folder = StoreFile().parent_path();
  for (const auto& row : rows) {
    // The system lets root write into a read-only folder.
    if (row.readOnlyFolder && geteuid() == 0) continue;
    if (row.badFile) PutStoreText("garbage\n");
    if (row.readOnlyFolder) {
      std::filesystem::create_directories(folder);
      std::filesystem::permissions(
          folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    devices.refusal = row.refuse ? refused : "";
    devices.kept.clear();
    messages.texts.clear();
    editor->Choose(CommBox::Device, "/dev/ttyUSB0");
    editor->Save();
    EXPECT_EQ(messages.texts, std::vector<std::string>{
                                  "The communication settings were not saved.\n\n" + row.reason});
    EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyUSB0");
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder);
  }
}

// Choosing the network type from custom settings: the port row goes, the
// line stays editable with its values, the server's boxes come, raw until
// the operator says else; with raw the quiet line speaks, with RFC 2217 not.
// What was typed is saved and opens again as typed.
TEST_F(CommSettingsEditorTest, TheServerBoxesTheQuietLineAndASaveThatOpensAgain) {
  Open({"alpha", kConnectionSerialCustom, 3, 19200, 8, "none", 2}, false);
  editor->Choose(CommBox::Connection, kConnectionNetwork);
  EXPECT_EQ(State() + " " + editor->Box(CommBox::TcpProtocol).text,
            std::string("Cbypshtr|3|19200|8|none|2 = 3 19200 8 none 2 ") + kTcpProtocolRaw);
  EXPECT_EQ(editor->NetworkNote(), "With raw TCP the device server's own line settings apply.");
  editor->Type(CommBox::Host, " sign.example ");
  editor->Type(CommBox::TcpPort, "4001x");
  editor->Choose(CommBox::TcpProtocol, kTcpProtocolRfc2217);
  editor->Choose(CommBox::TcpProtocol, "telnet");  // not an entry: no change
  EXPECT_EQ(editor->NetworkNote(), "");
  editor->Save();
  EXPECT_TRUE(messages.texts.empty());
  CCommSettings saved;
  ASSERT_TRUE(ReadSavedSettings(saved, registry));
  Open(saved, false);
  EXPECT_EQ(editor->Box(CommBox::Host).text + "|" + editor->Box(CommBox::TcpPort).text + "|" +
                editor->Box(CommBox::TcpProtocol).text,
            std::string("sign.example|4001|") + kTcpProtocolRfc2217);
}

// Each colour list selects by the case-insensitive prefix of its field; a
// field that matches nothing (an empty one too) shows no selection and stays
// as it was. A pick changes the field of its own list only; a name that is
// no entry is ignored.
TEST(ColorOptionsEditor, ListsSelectByPrefixAndPicksChangeTheirOwnField) {
  CColorOptionsEditor editor;
  editor.team1NameColor = "red";
  editor.team2NameColor = "dim g";
  editor.team1ScoreColor = "Purple";
  editor.Open();
  const auto selections = [&] {
    return editor.Selection(ColorList::Team1Name) + "/" + editor.Selection(ColorList::Team2Name) +
           "/" + editor.Selection(ColorList::Team1Score) + "/" +
           editor.Selection(ColorList::Team2Score);
  };
  EXPECT_EQ(selections(), "Red/Dim Green//");
  editor.Choose(ColorList::Team2Score, "Yellow");
  editor.Choose(ColorList::Team1Name, "Purple");
  EXPECT_EQ(std::tie(editor.team1NameColor, editor.team2NameColor, editor.team1ScoreColor,
                     editor.team2ScoreColor),
            std::make_tuple("red", "dim g", "Purple", "Yellow"));
  EXPECT_EQ(selections(), "Red/Dim Green//Yellow");
}

}  // namespace
