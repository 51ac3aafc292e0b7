#include <string>
#include <vector>

#include "dialogs/RegistryAccess.h"
#include "dialogs/SavedSettings.h"
#include "game/RavelleDoc.h"
#include "tests/settings/TemporaryConfigHome.h"

namespace {

using Bytes = std::vector<unsigned char>;

class SavedSettingsTest : public TemporaryConfigHome {
 protected:
  Bytes Stored(const char* name) {
    Bytes buffer(2000);
    std::uint32_t received = 0;
    if (!registry_.ReadValue(buffer.data(), &received, 2000, HKEY_CURRENT_USER, kSettingsKey,
                             name)) {
      ADD_FAILURE() << name << " not stored";
      return {};
    }
    buffer.resize(received);
    return buffer;
  }
  void Put(const char* name, std::uint32_t type, const Bytes& data) {
    ASSERT_TRUE(registry_.WriteValue(data.data(), type, static_cast<std::uint32_t>(data.size()),
                                     HKEY_CURRENT_USER, kSettingsWriteKey, name));
  }

  CRegistryAccess registry_;
};

TEST_F(SavedSettingsTest, SaveWritesTheSevenValuesInOrder) {
  CCommSettings settings{"alpha", "serial port - custom settings", 3, 19200, 8, "odd", 2};
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(StoreText(),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\n"
            "\"Protocol\"=\"alpha\"\n"
            "\"Connection\"=\"serial port - custom settings\"\n"
            "\"ComPort\"=dword:00000003\n"
            "\"BaudRate\"=dword:00004b00\n"
            "\"ByteSize\"=dword:00000008\n"
            "\"Parity\"=\"odd\"\n"
            "\"StopBits\"=dword:00000002\n\n");
}

TEST_F(SavedSettingsTest, SaveAfterUsbChoiceStoresPortOneAndEmptyParity) {
  CCommSettings settings{"alpha", "usb - betabrite prism", 0, 0, 0, "", 0};
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(settings.comPort, 1);
  EXPECT_EQ(Stored("ComPort"), (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(Stored("Parity"), (Bytes{0}));
  EXPECT_EQ(Stored("BaudRate"), (Bytes{0, 0, 0, 0}));

  settings.comPort = -4;
  settings.parity = " ";
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(settings.comPort, 1);
  EXPECT_EQ(Stored("Parity"), (Bytes{' ', 0}));
}

TEST_F(SavedSettingsTest, SaveCutsATextAtTheFormattingBuffer) {
  CCommSettings settings{"alpha", std::string(1500, 'c'), 1, 9600, 7, "even", 1};
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(Stored("Connection").size(), 1000u);
}

TEST_F(SavedSettingsTest, ReadBackGivesTheDocumentWhatWasSaved) {
  CCommSettings settings{"alpha", "serial port - custom settings", 4, 2400, 8, " ", 2};
  SaveCommSettings(settings, registry_);
  CRavelleDoc doc;
  ASSERT_TRUE(ReadSavedSettings(doc, registry_));
  EXPECT_EQ(doc.connection, "serial port - custom settings");
  EXPECT_EQ(doc.comPort, 4);
  EXPECT_EQ(doc.baudRate, 2400);
  EXPECT_EQ(doc.byteSize, 8);
  EXPECT_EQ(doc.parity, " ");
  EXPECT_EQ(doc.stopBits, 2);
  EXPECT_EQ(doc.protocol, "alpha");
}

TEST_F(SavedSettingsTest, MissingOrEmptyConnectionAsksForTheDialog) {
  CRavelleDoc doc;
  doc.connection = "usb - betabrite prism";
  doc.comPort = 5;
  EXPECT_FALSE(ReadSavedSettings(doc, registry_));
  EXPECT_EQ(doc.connection, "");
  EXPECT_EQ(doc.comPort, 5);

  Put("Connection", REG_SZ, Bytes{0});
  Put("ComPort", REG_DWORD, Bytes{3, 0, 0, 0});
  doc.connection = "x";
  EXPECT_FALSE(ReadSavedSettings(doc, registry_));
  EXPECT_EQ(doc.connection, "");
  EXPECT_EQ(doc.comPort, 5);
}

TEST_F(SavedSettingsTest, UnreadableValuesTakeTheirDefaults) {
  std::string connection = "serial port - betabrite classic";
  Put("Connection", REG_SZ, Bytes(connection.begin(), connection.end() + 1));
  Put("Parity", REG_SZ, Bytes(1001, 'p'));  // 1001 bytes: too long for the buffer
  CRavelleDoc doc;
  doc.comPort = 8;
  doc.baudRate = 1;
  doc.byteSize = 1;
  doc.parity = "odd";
  doc.stopBits = 2;
  ASSERT_TRUE(ReadSavedSettings(doc, registry_));
  EXPECT_EQ(doc.connection, connection);
  EXPECT_EQ(doc.comPort, 1);
  EXPECT_EQ(doc.baudRate, 9600);
  EXPECT_EQ(doc.byteSize, 7);
  EXPECT_EQ(doc.parity, "even");
  EXPECT_EQ(doc.stopBits, 1);
}

TEST_F(SavedSettingsTest, TextsUpTo999CharactersReadBack) {
  std::string connection = "serial port - betabrite classic";
  Put("Connection", REG_SZ, Bytes(connection.begin(), connection.end() + 1));
  Bytes parity(999, 'p');
  parity.push_back(0);
  Put("Parity", REG_SZ, parity);
  CRavelleDoc doc;
  ASSERT_TRUE(ReadSavedSettings(doc, registry_));
  EXPECT_EQ(doc.parity, std::string(999, 'p'));

  // 1000 characters and the zero no longer fit.
  parity.insert(parity.begin(), 'p');
  Put("Parity", REG_SZ, parity);
  ASSERT_TRUE(ReadSavedSettings(doc, registry_));
  EXPECT_EQ(doc.parity, "even");
}

TEST_F(SavedSettingsTest, CorruptStoreGivesTheFirstStartAndSurvivesASave) {
  PutStoreText("garbage\n");
  CRavelleDoc doc;
  EXPECT_FALSE(ReadSavedSettings(doc, registry_));
  CCommSettings settings{"alpha", "usb - betabrite prism", 0, 0, 0, "", 0};
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(StoreText(), "garbage\n");
}

}  // namespace
