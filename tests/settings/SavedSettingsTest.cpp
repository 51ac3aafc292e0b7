#include "dialogs/RegistryAccess.h"
#include "dialogs/SavedSettings.h"
#include "game/RavelleDoc.h"
#include "tests/settings/TemporaryConfigHome.h"

namespace {

class SavedSettingsTest : public TemporaryConfigHome {
 protected:
  CRegistryAccess registry_;
  CRavelleDoc doc_;
};

// The seven values in order, a port below 1 saved as 1 and a text cut to
// the 999 characters the reader's buffer holds with its zero.
TEST_F(SavedSettingsTest, SaveWritesTheSevenValuesInOrderAndTheDocumentReadsThemBack) {
  CCommSettings settings{"alpha", std::string(1500, 'c'), -4, 19200, 8, "odd", 2};
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(settings.comPort, 1);
  EXPECT_EQ(StoreText(), kStoreHead + "\"Protocol\"=\"alpha\"\n\"Connection\"=\"" +
                             std::string(999, 'c') +
                             "\"\n\"ComPort\"=dword:00000001\n\"BaudRate\"=dword:00004b00\n"
                             "\"ByteSize\"=dword:00000008\n\"Parity\"=\"odd\"\n"
                             "\"StopBits\"=dword:00000002\n\n");
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.connection, doc_.comPort, doc_.baudRate, doc_.byteSize, doc_.parity,
                     doc_.stopBits),
            std::make_tuple(std::string(999, 'c'), 1, 19200, 8, std::string("odd"), 2));
}

// A store that cannot be read, or an empty Connection, asks for the dialog
// and nothing else is read. With a Connection, a value that cannot be read
// keeps its default (1000 characters do not fit the reader's buffer with
// the zero), and a shorter value replaces only a number's low bytes.
TEST_F(SavedSettingsTest, ConnectionFirstThenEachValueOrItsDefault) {
  PutStoreText("garbage\n");
  EXPECT_FALSE(ReadSavedSettings(doc_, registry_));
  // A ComPort that is read only once a Connection is there.
  PutStoreText(kStoreHead + "\"Connection\"=\"\"\n\"ComPort\"=\"3\"\n");
  doc_.connection = "x";
  doc_.comPort = 5;
  EXPECT_FALSE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.connection, doc_.comPort), std::make_tuple(std::string(), 5));
  PutStoreText(kStoreHead +
               "\"Connection\"=\"serial port - betabrite classic\"\n\"ComPort\"=\"3\"\n" +
               "\"Parity\"=\"" + std::string(1000, 'p') + "\"\n");
  doc_.baudRate = doc_.byteSize = 1;
  doc_.stopBits = 2;
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.comPort, doc_.baudRate, doc_.byteSize, doc_.parity, doc_.stopBits),
            std::make_tuple(int{'3'}, 9600, 7, std::string("even"), 1));
}

}  // namespace
