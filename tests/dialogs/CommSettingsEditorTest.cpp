#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <functional>
#include <map>
#include <optional>

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

class CommSettingsEditorTest : public TemporaryConfigHome {
 protected:
  // A new editor for every opening, as a new dialog is made for each.
  void Open(const CCommSettings& settings) {
    editor.emplace(registry, messages, &devices);
    static_cast<CCommSettings&>(*editor) = settings;
    editor->Open();
  }
  // comPort, baud rate, byte size, parity and stop bits as the boxes show them.
  std::string Shown() const {
    std::string shown = editor->Box(CommBox::ComPort).text;
    for (CommBox box : {CommBox::BaudRate, CommBox::ByteSize, CommBox::Parity, CommBox::StopBits}) {
      shown += "|" + editor->Box(box).text;
    }
    return shown;
  }
  std::string Fields() const {
    return std::to_string(editor->comPort) + ' ' + std::to_string(editor->baudRate) + ' ' +
           std::to_string(editor->byteSize) + ' ' + editor->parity + ' ' +
           std::to_string(editor->stopBits);
  }

  CRegistryAccess registry;
  CRecordingMessageBoxes messages;
  CFakePortDevices devices;
  std::optional<CCommSettingsEditor> editor;
};

const CCommSettings kOpenedOn{"alpha", "", 3, 9600, 0, "even", 0};
const CCommSettings kCustom{"ALPHA", kConnectionSerialCustom, 5, 19200, 8, "odd", 2};

// Opening on a connection, or choosing it after opening on custom settings,
// enables what that connection lets the operator change and fills in its
// values: USB blanks them, the sign's own serial line presets the line and
// keeps the port, custom settings keep what was there. A value without a
// matching entry (0 data bits) shows no selection.
TEST_F(CommSettingsEditorTest, TheConnectionSetsWhatCanBeChangedAndWhatIsShown) {
  const struct {
    const char* connection;
    bool protocol, port, line;  // port: Comport and Device; line: the other four
    const char* opened;
    const char* chosen;
    const char* fields;  // after choosing
  } rows[] = {{"", false, false, false, "||||", nullptr, nullptr},
              {kConnectionUsbPrism, false, false, false, "||||", "|| | | ", "0 0 0  0"},
              {kConnectionSerialClassic, false, true, false, "3|9600||even|", "5|9600|7|even|1",
               "5 9600 7 even 1"},
              {kConnectionSerialCustom, true, true, true, "3|9600||even|", "5|19200|8|odd|2",
               "5 19200 8 odd 2"}};
  for (const auto& row : rows) {
    for (bool chosen : {false, true}) {
      if (chosen && row.chosen == nullptr) continue;
      SCOPED_TRACE(testing::Message() << '"' << row.connection << (chosen ? "\" chosen" : "\""));
      if (chosen) {
        Open(kCustom);
        editor->Choose(CommBox::Connection, row.connection);
      } else {
        CCommSettings settings = kOpenedOn;
        settings.connection = row.connection;
        Open(settings);
      }
      EXPECT_EQ(editor->Box(CommBox::Connection).text, row.connection);
      EXPECT_EQ(editor->Box(CommBox::Protocol).text, "alpha") << "selected by prefix";
      EXPECT_TRUE(editor->Box(CommBox::Connection).enabled);
      EXPECT_EQ(editor->Box(CommBox::Protocol).enabled, row.protocol && !chosen) << "on opening";
      for (CommBox box : {CommBox::ComPort, CommBox::Device}) {
        EXPECT_EQ(editor->Box(box).enabled, row.port) << static_cast<int>(box);
      }
      for (CommBox box :
           {CommBox::BaudRate, CommBox::ByteSize, CommBox::Parity, CommBox::StopBits}) {
        EXPECT_EQ(editor->Box(box).enabled, row.line) << static_cast<int>(box);
      }
      EXPECT_EQ(Shown(), chosen ? row.chosen : row.opened);
      if (chosen) {
        EXPECT_EQ(Fields(), row.fields);
      }
      EXPECT_EQ(editor->protocol, chosen ? "ALPHA" : "alpha") << "never changed here";
    }
  }
}

TEST(IntegerValue, ReadsLeadingDecimalDigits) {
  const std::pair<const char*, int> rows[] = {{"12ab", 12},
                                              {"  -7", -7},
                                              {"+5", 5},
                                              {"abc", 0},
                                              {"0x10", 0},
                                              {"- 3", 0},
                                              {" ", 0},
                                              {"", 0},
                                              {"99999999999", INT_MAX},
                                              {"-99999999999", INT_MIN}};
  for (const auto& [text, value] : rows) EXPECT_EQ(IntegerValue(text), value) << text;
}

// Typed numbers read as integers and the box keeps the text; a typed baud
// rate that is no entry comes back as the box text when reopened. Boxes
// that take no typing, disabled boxes and texts that are no entry take no
// input.
TEST_F(CommSettingsEditorTest, TheOperatorsInput) {
  Open(kCustom);
  editor->Type(CommBox::ComPort, "12ab");
  editor->Type(CommBox::BaudRate, "14400");
  editor->Choose(CommBox::Parity, " ");
  editor->Choose(CommBox::StopBits, "3");
  editor->Type(CommBox::ByteSize, "7");
  EXPECT_EQ(Fields(), "12 14400 8   2");
  EXPECT_EQ(Shown(), "12ab|14400|8| |2");
  editor->Choose(CommBox::ComPort, "4");
  EXPECT_EQ(editor->comPort, 4);

  Open({"alpha", kConnectionSerialCustom, 12, 14400, 8, " ", 2});
  EXPECT_EQ(Shown(), "12|14400|8| |2");

  editor->Choose(CommBox::Connection, kConnectionUsbPrism);
  editor->Type(CommBox::ComPort, "7");
  editor->Choose(CommBox::Parity, "odd");
  EXPECT_EQ(Fields(), "0 0 0  0") << "disabled boxes take nothing";
}

// The save stores what the fields hold, a port below 1 as 1 (and the
// editor's own port becomes 1, for OK to carry), then the device picked for
// the port. A new port number drops an earlier pick.
TEST_F(CommSettingsEditorTest, SaveStoresTheSettingsThenThePickedDevice) {
  Open(kCustom);
  EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyS4");
  editor->Type(CommBox::Device, " /dev/ttyUSB7 ");
  editor->Type(CommBox::ComPort, "2");
  EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyS1") << "the pick went with port 5";
  editor->Type(CommBox::Device, " /dev/ttyUSB7 ");
  EXPECT_TRUE(devices.kept.empty()) << "nothing is kept before the save";
  editor->Save();
  EXPECT_EQ(devices.kept, (std::map<int, std::string>{{2, "/dev/ttyUSB7"}}));
  EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyUSB7");

  editor->Choose(CommBox::Connection, kConnectionUsbPrism);
  editor->Save();
  EXPECT_EQ(editor->comPort, 1);
  EXPECT_EQ(editor->Box(CommBox::ComPort).text, "") << "the box is not refilled";
  CCommSettings saved;
  ASSERT_TRUE(ReadSavedSettings(saved, registry));
  EXPECT_EQ(std::tie(saved.connection, saved.comPort, saved.baudRate, saved.parity),
            std::make_tuple(kConnectionUsbPrism, 1, 0, ""));
  EXPECT_EQ(messages.texts, std::vector<std::string>{}) << "a save that works is quiet";
}

// A save that did not happen says why in one message box, the store's
// problem before the device's; the device pick stays for another try, and
// a save that works again is quiet.
TEST_F(CommSettingsEditorTest, AFailedSaveSaysWhyInOneMessageBox) {
  Open(kCustom);
  const std::filesystem::path folder = StoreFile().parent_path();
  const std::string refusal = "/dev/ttyUSB0: not kept";
  struct Row {
    const char* name;
    std::function<void()> spoil;
    std::string reason;
  };
  std::vector<Row> rows = {
      {"a file it cannot read", [&] { PutStoreText("garbage\n"); },
       StoreFile().string() + " cannot be read: line 1: the first line is not \"Windows Registry "
                              "Editor Version 5.00\""},
      {"a device the map refuses", [&] { devices.refusal = refusal; }, refusal},
      {"both",
       [&] {
         PutStoreText("garbage\n");
         devices.refusal = refusal;
       },
       StoreFile().string() + " cannot be read: line 1: the first line is not \"Windows Registry "
                              "Editor Version 5.00\""}};
  if (geteuid() != 0) {  // the system lets root write into a read-only folder
    rows.push_back({"a read-only folder",
                    [&] {
                      std::filesystem::create_directories(folder);
                      std::filesystem::permissions(folder, std::filesystem::perms::owner_read |
                                                               std::filesystem::perms::owner_exec);
                    },
                    StoreFile().string() + " cannot be written: " + std::strerror(EACCES)});
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    row.spoil();
    messages.texts.clear();
    editor->Choose(CommBox::Device, "/dev/ttyUSB0");
    editor->Save();
    EXPECT_EQ(messages.texts, std::vector<std::string>{
                                  "The communication settings were not saved.\n\n" + row.reason});
    EXPECT_EQ(editor->Box(CommBox::Device).text, "/dev/ttyUSB0");
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(folder);
    devices.refusal.clear();
    devices.kept.clear();
  }
  messages.texts.clear();
  editor->Save();
  EXPECT_EQ(messages.texts, std::vector<std::string>{});
  EXPECT_EQ(devices.kept[5], "/dev/ttyUSB0");
}

}  // namespace
