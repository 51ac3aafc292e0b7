#include <unistd.h>

#include <cerrno>
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
  // The enabled boxes, one letter each (Protocol, Connection, comport, baud
  // rate, bYte size, parity, stop bits, device, host, tcp port, tcp protocol
  // (r)), then the texts of the boxes from Comport to Device, then the
  // fields from comPort to stopBits.
  std::string State() const {
    std::string enabled, texts;
    for (int box = 0; box < kCommBoxCount; ++box) {
      if (editor->Box(CommBox(box)).enabled) enabled += "PCcbypsdhtr"[box];
      if (box >= int(CommBox::ComPort) && box <= int(CommBox::Device)) {
        texts += "|" + editor->Box(CommBox(box)).text;
      }
    }
    return enabled + texts + " = " + std::to_string(editor->comPort) + ' ' +
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
// Protocol list (selected by prefix, its field never changed here) is
// enabled only when opening on custom settings.
TEST_F(CommSettingsEditorTest, TheConnectionSetsWhatCanBeChangedAndWhatIsShown) {
  // The connection, what opening on it shows, what choosing it shows.
  const char* const rows[][3] = {
      {"", "C||||||/dev/ttyS2 = 3 9600 0 even 0", nullptr},
      {kConnectionUsbPrism, "C||||||/dev/ttyS2 = 3 9600 0 even 0",
       "C||| | | |/dev/ttyS0 = 0 0 0  0"},
      {kConnectionSerialClassic, "Ccd|3|9600||even||/dev/ttyS2 = 3 9600 0 even 0",
       "Ccd|5|9600|7|even|1|/dev/ttyS4 = 5 9600 7 even 1"},
      {kConnectionSerialCustom, "PCcbypsd|3|9600||even||/dev/ttyS2 = 3 9600 0 even 0",
       "Ccbypsd|5|19200|8|odd|2|/dev/ttyS4 = 5 19200 8 odd 2"}};
  for (const auto& [connection, opened, chosen] : rows) {
    SCOPED_TRACE(connection);
    Open({"alpha", connection, 3, 9600, 0, "even", 0});
    EXPECT_EQ(editor->Box(CommBox::Connection).text + ": " + State(),
              connection + std::string(": ") + opened);
    if (chosen == nullptr) continue;
    Open(kCustom);
    editor->Choose(CommBox::Connection, connection);
    EXPECT_EQ(editor->Box(CommBox::Protocol).text + "/" + editor->protocol + ": " + State(),
              std::string("alpha/ALPHA: ") + chosen);
  }
}

// Leading decimal digits after blanks and a sign, clamped to int.
TEST(IntegerValue, ReadsLeadingDecimalDigits) {
  std::string values;
  for (const char* text : {"12ab", "  -7", "+5", " ", "- 3", "99999999999", "-99999999999"}) {
    values += std::to_string(IntegerValue(text)) + " ";
  }
  EXPECT_EQ(values, "12 -7 5 0 0 2147483647 -2147483648 ");
}

// Typed numbers read as integers and the box keeps the text. Disabled boxes,
// typing into a list and texts that are no entry take no input. The save
// stores the fields, a port below 1 as 1 (the editor's own port too, for OK
// to carry), then the device picked for the port, which a new port number
// drops. A save that works is quiet.
TEST_F(CommSettingsEditorTest, TheOperatorsInputAndASaveThatWorks) {
  Open(kCustom);
  editor->Type(CommBox::ComPort, "12ab");
  editor->Type(CommBox::BaudRate, "14400");
  editor->Choose(CommBox::Parity, " ");
  editor->Choose(CommBox::StopBits, "3");
  editor->Type(CommBox::ByteSize, "7");
  EXPECT_EQ(State(), "PCcbypsd|12ab|14400|8| |2|/dev/ttyS11 = 12 14400 8   2");

  editor->Type(CommBox::Device, " /dev/ttyUSB7 ");
  editor->Type(CommBox::ComPort, "2");
  EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyS1");
  editor->Type(CommBox::Device, " /dev/ttyUSB7 ");
  editor->Save();
  EXPECT_EQ(devices.kept, (std::map<int, std::string>{{2, "/dev/ttyUSB7"}}));
  EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyUSB7");

  editor->Choose(CommBox::Connection, kConnectionUsbPrism);
  editor->Type(CommBox::ComPort, "7");
  editor->Choose(CommBox::Parity, "odd");
  EXPECT_EQ(State(), "C||| | | |/dev/ttyS0 = 0 0 0  0");
  editor->Save();
  EXPECT_EQ(editor->comPort, 1);
  EXPECT_EQ(messages.texts, std::vector<std::string>{});
}

// A save that did not happen says why in one message box, the store's
// problem before the device's; the device pick stays for another try.
TEST_F(CommSettingsEditorTest, AFailedSaveSaysWhyInOneMessageBox) {
  Open(kCustom);
  const auto saveFails = [this](const std::string& reason) {
    messages.texts.clear();
    editor->Choose(CommBox::Device, "/dev/ttyUSB0");
    editor->Save();
    EXPECT_EQ(messages.texts,
              std::vector<std::string>{"The communication settings were not saved.\n\n" + reason});
    EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyUSB0");
  };
  const std::string unreadable = StoreFile().string() +
                                 " cannot be read: line 1: the first line is not \"Windows "
                                 "Registry Editor Version 5.00\"";
  PutStoreText("garbage\n");
  devices.refusal = "/dev/ttyUSB0: not kept";
  saveFails(unreadable);
  std::filesystem::remove(StoreFile());
  saveFails(devices.refusal);
  devices.refusal.clear();
  PutStoreText("garbage\n");
  saveFails(unreadable);
  std::filesystem::remove(StoreFile());
  // The system lets root write into a read-only folder.
  if (geteuid() == 0) return;
  using std::filesystem::perms;
  std::filesystem::permissions(StoreFile().parent_path(), perms::owner_read | perms::owner_exec);
  saveFails(StoreFile().string() + " cannot be written: " + std::strerror(EACCES));
  std::filesystem::permissions(StoreFile().parent_path(), perms::owner_all);
}

// Choosing the network type from custom settings: the port row goes, the
// line stays editable with its values, the server's boxes come, raw until
// the operator says else; with raw the quiet line speaks, with RFC 2217 not
// (a name that is no entry changes nothing). What was typed is saved and
// opens again as typed.
TEST_F(CommSettingsEditorTest, TheServerBoxesTheQuietLineAndASaveThatOpensAgain) {
  Open({"alpha", kConnectionSerialCustom, 3, 19200, 8, "none", 2}, false);
  const auto server = [this] {
    return editor->Box(CommBox::Host).text + "|" + editor->Box(CommBox::TcpPort).text + "|" +
           editor->Box(CommBox::TcpProtocol).text + "|" + editor->NetworkNote();
  };
  editor->Choose(CommBox::Connection, kConnectionNetwork);
  EXPECT_EQ(State() + " " + server(),
            "Cbypshtr|3|19200|8|none|2| = 3 19200 8 none 2 ||raw|With raw TCP the device "
            "server's own line settings apply.");
  editor->Type(CommBox::Host, " sign.example ");
  editor->Type(CommBox::TcpPort, "4001x");
  editor->Choose(CommBox::TcpProtocol, kTcpProtocolRfc2217);
  editor->Choose(CommBox::TcpProtocol, "telnet");
  EXPECT_EQ(server(), " sign.example |4001x|RFC 2217|");
  editor->Save();
  EXPECT_TRUE(messages.texts.empty());
  CCommSettings saved;
  ASSERT_TRUE(ReadSavedSettings(saved, registry));
  Open(saved, false);
  EXPECT_EQ(server(), "sign.example|4001|RFC 2217|");
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
  editor.Choose(ColorList::Team2Score, "Yellow");
  editor.Choose(ColorList::Team1Name, "Purple");
  std::string shown;
  for (int list = 0; list < kColorListCount; ++list) {
    shown += editor.Selection(ColorList(list)) + "/";
  }
  EXPECT_EQ(shown + " = " + editor.team1NameColor + "/" + editor.team2NameColor + "/" +
                editor.team1ScoreColor + "/" + editor.team2ScoreColor,
            "Red/Dim Green//Yellow/ = red/dim g/Purple/Yellow");
}

}  // namespace
