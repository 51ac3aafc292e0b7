#include <string>
#include <vector>

#include "dialogs/RegistryAccess.h"
#include "dialogs/SavedSettings.h"
#include "game/RavelleDoc.h"
#include "tests/settings/TemporaryConfigHome.h"

namespace {

class SavedSettingsTest : public TemporaryConfigHome {
 protected:
  void Put(const char* name, const std::string& text) {
    ASSERT_TRUE(registry_.WriteValue(text.c_str(), REG_SZ,
                                     static_cast<std::uint32_t>(text.size() + 1), HKEY_CURRENT_USER,
                                     kSettingsWriteKey, name));
  }
  CRegistryAccess registry_;
  CRavelleDoc doc_;
};

TEST_F(SavedSettingsTest, SaveWritesTheSevenValuesInOrderAndTheDocumentReadsThemBack) {
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
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.protocol, doc_.connection, doc_.comPort, doc_.baudRate, doc_.byteSize,
                     doc_.parity, doc_.stopBits),
            std::tie(settings.protocol, settings.connection, settings.comPort, settings.baudRate,
                     settings.byteSize, settings.parity, settings.stopBits));
}

TEST_F(SavedSettingsTest, SaveStoresPortOneBelowOneAndCutsTextsAtTheBuffer) {
  CCommSettings settings{"alpha", std::string(1500, 'c'), -4, 0, 0, "", 0};
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(settings.comPort, 1);
  const std::string text = StoreText();
  EXPECT_NE(text.find("\"ComPort\"=dword:00000001\n\"BaudRate\"=dword:00000000\n"),
            std::string::npos);
  EXPECT_NE(text.find("\"Parity\"=\"\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"Connection\"=\"" + std::string(999, 'c') + "\"\n"), std::string::npos);
}

TEST_F(SavedSettingsTest, MissingOrEmptyConnectionAsksForTheDialog) {
  doc_.connection = "usb - betabrite prism";
  doc_.comPort = 5;
  EXPECT_FALSE(ReadSavedSettings(doc_, registry_));
  Put("Connection", "");
  Put("ComPort", "3");
  doc_.connection = "x";
  EXPECT_FALSE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(doc_.connection, "");
  EXPECT_EQ(doc_.comPort, 5);
}

// 999 characters and the zero fit the reader's buffer; 1000 do not.
TEST_F(SavedSettingsTest, UnreadableValuesTakeTheirDefaults) {
  Put("Connection", "serial port - betabrite classic");
  Put("Parity", std::string(999, 'p'));
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(doc_.parity, std::string(999, 'p'));
  Put("Parity", std::string(1000, 'p'));
  doc_ = CRavelleDoc{};
  doc_.comPort = 8;
  doc_.baudRate = doc_.byteSize = 1;
  doc_.stopBits = 2;
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.comPort, doc_.baudRate, doc_.byteSize, doc_.parity, doc_.stopBits),
            std::make_tuple(1, 9600, 7, std::string("even"), 1));
}

TEST_F(SavedSettingsTest, CorruptStoreGivesTheFirstStartAndSurvivesASave) {
  PutStoreText("garbage\n");
  EXPECT_FALSE(ReadSavedSettings(doc_, registry_));
  CCommSettings settings{"alpha", "usb - betabrite prism", 0, 0, 0, "", 0};
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(StoreText(), "garbage\n");
}

}  // namespace
