#include "game/RavelleDoc.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
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
// the zero).
TEST_F(SavedSettingsTest, ConnectionFirstThenEachValueOrItsDefault) {
  PutStoreText("garbage\n");
  EXPECT_FALSE(ReadSavedSettings(doc_, registry_));
  PutStoreText(kStoreHead + "\"Connection\"=\"\"\n\"ComPort\"=dword:00000003\n");
  doc_.connection = "x";
  doc_.comPort = 5;
  EXPECT_FALSE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.connection, doc_.comPort), std::make_tuple(std::string(), 5));
  PutStoreText(kStoreHead + "\"Connection\"=\"serial port - betabrite classic\"\n" +
               "\"Parity\"=\"" + std::string(1000, 'p') + "\"\n");
  doc_.baudRate = doc_.byteSize = 1;
  doc_.stopBits = 2;
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.comPort, doc_.baudRate, doc_.byteSize, doc_.parity, doc_.stopBits),
            std::make_tuple(1, 9600, 7, std::string("even"), 1));
}

// The file is edited by hand: a value stored as another type than its
// reader takes ("ComPort"="3", a number of the wrong size, a text stored as
// a number) is read as missing and gives its default, never a number made
// of its bytes.
TEST_F(SavedSettingsTest, AValueOfAnotherTypeReadsAsMissing) {
  PutStoreText(kStoreHead + "\"Connection\"=\"serial port - custom settings\"\n" +
               "\"ComPort\"=\"3\"\n\"BaudRate\"=hex:80,25,00,00\n\"ByteSize\"=hex(4):08,00\n" +
               "\"Parity\"=dword:00000001\n\"StopBits\"=hex(b):02,00,00,00,00,00,00,00\n");
  doc_.comPort = doc_.baudRate = doc_.byteSize = doc_.stopBits = 2;
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.comPort, doc_.baudRate, doc_.byteSize, doc_.parity, doc_.stopBits),
            std::make_tuple(1, 9600, 7, std::string("even"), 1));

  PutStoreText(kStoreHead + "\"Connection\"=dword:00000001\n\"ComPort\"=dword:00000003\n");
  EXPECT_FALSE(ReadSavedSettings(doc_, registry_)) << "a Connection that is not text is none";
  PutStoreText(kStoreHead + "\"Connection\"=hex(1):75,73,62,00\n\"ComPort\"=dword:00000003\n" +
               "\"Parity\"=hex(1):6f,64,64\n");
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_)) << "text written as hex is still text";
  EXPECT_EQ(std::tie(doc_.connection, doc_.comPort, doc_.parity),
            std::make_tuple(std::string("usb"), 3, std::string("odd")));
}

// A store that cannot be read is not "nothing saved" to a caller that asks
// why: the reason names the file and the line. A save over it stores
// nothing and says the same; once mended, both work and say nothing.
TEST_F(SavedSettingsTest, AnUnreadableStoreSaysWhyToReaderAndSaver) {
  const std::string text =
      kStoreHead + "\"Connection\"=\"serial port - betabrite classic\"\n" + "\"ComPort\"=dword:3\n";
  PutStoreText(text);
  const std::string reason =
      StoreFile().string() + " cannot be read: line 5: the value \"ComPort\" is not well formed";
  std::string problem;
  EXPECT_FALSE(ReadSavedSettings(doc_, registry_, &problem));
  EXPECT_EQ(problem, reason);
  CCommSettings settings{"alpha", "serial port - betabrite classic", 2, 9600, 7, "even", 1};
  const auto saveProblem = SaveCommSettings(settings, registry_);
  ASSERT_TRUE(saveProblem);
  EXPECT_EQ(saveProblem->text, reason);
  EXPECT_EQ(StoreText(), text);

  std::filesystem::remove(StoreFile());
  EXPECT_FALSE(SaveCommSettings(settings, registry_));
  EXPECT_TRUE(ReadSavedSettings(doc_, registry_, &problem));
  EXPECT_EQ(problem, "");
  EXPECT_EQ(doc_.comPort, 2);
}

}  // namespace
