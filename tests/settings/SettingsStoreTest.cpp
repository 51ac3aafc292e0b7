// The settings store (the file, its values, its failures) and the
// connection settings saved in it.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <tuple>
#include <vector>

#include "game/RavelleDoc.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "settings/SettingsReadScope.h"
#include "tests/settings/TemporaryConfigHome.h"

namespace {

using Bytes = std::vector<unsigned char>;
// A text value's bytes, its zero included.
Bytes Text(const std::string& text) { return Bytes(text.c_str(), text.c_str() + text.size() + 1); }

class SettingsStoreTest : public TemporaryConfigHome {
 protected:
  bool Write(const std::string& name, std::uint32_t type, const Bytes& data,
             const char* key = kSettingsWriteKey) {
    return registry_.WriteValue(data.data(), type, static_cast<std::uint32_t>(data.size()),
                                HKEY_CURRENT_USER, key, name.c_str());
  }
  // Reads into a buffer of `capacity` bytes; nothing when the read fails.
  std::optional<Bytes> Read(const std::string& name, const char* key = kSettingsKey,
                            std::uint32_t capacity = 1000) {
    Bytes buffer(capacity, 9);
    received_ = 77;
    if (!registry_.ReadValue(buffer.data(), &received_, capacity, HKEY_CURRENT_USER, key,
                             name.c_str())) {
      EXPECT_EQ(buffer, Bytes(capacity, 9));  // a failed read leaves the buffer alone
      return std::nullopt;
    }
    buffer.resize(received_);
    return buffer;
  }

  CRegistryAccess registry_;
  std::uint32_t received_ = 0;
};

// Every value keeps its type and exact bytes, in a form a person can read.
TEST_F(SettingsStoreTest, ValuesKeepTheirBytesAndReadableFormInTheFile) {
  for (const auto& [type, data, fileLine] :
       std::vector<std::tuple<std::uint32_t, Bytes, std::string>>{
           {REG_SZ, Text("alpha"), "\"V\"=\"alpha\""},
           {REG_SZ, Bytes{0}, "\"V\"=\"\""},
           {REG_SZ, Text("a\"b\\c"), "\"V\"=\"a\\\"b\\\\c\""},
           {REG_SZ, Text("Caf\xE9"), "\"V\"=hex(1):43,61,66,e9,00"},
           {REG_SZ, Bytes{'a', 0, 0}, "\"V\"=hex(1):61,00,00"},
           {REG_DWORD, Bytes{0x80, 0x25, 0, 0}, "\"V\"=dword:00002580"},
           {REG_DWORD, Bytes{7, 0}, "\"V\"=hex(4):07,00"},
           {3, Bytes{0, 0xFF, 0x10}, "\"V\"=hex:00,ff,10"}}) {
    SCOPED_TRACE(fileLine);
    ASSERT_TRUE(Write("V", type, data));
    EXPECT_NE(StoreText().find("\n" + fileLine + "\n"), std::string::npos) << StoreText();
    EXPECT_EQ(Read("V"), data);
  }
  Bytes blob(300);
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<unsigned char>(i);
  ASSERT_TRUE(Write("Blob", 3, blob));
  EXPECT_NE(StoreText().find(",\\\n  "), std::string::npos);  // continued over lines
  EXPECT_EQ(Read("Blob"), blob);
}

TEST_F(SettingsStoreTest, OneKeyWhateverTheTrailingBackslashOrLetterCase) {
  ASSERT_TRUE(Write("Protocol", REG_SZ, Text("even"), "Software\\Norvane\\Ravelle\\"));
  ASSERT_TRUE(Write("protocol", REG_SZ, Text("alpha"), "SOFTWARE\\norvane\\Ravelle"));
  ASSERT_TRUE(Write("ComPort", REG_DWORD, Bytes{3, 0, 0, 0}));
  EXPECT_EQ(StoreText(), kStoreHead + "\"Protocol\"=\"alpha\"\n\"ComPort\"=dword:00000003\n\n");
  EXPECT_EQ(Read("PROTOCOL", "Software\\Norvane\\Ravelle\\"), Text("alpha"));
}

// A hand-edited file (CRLF, a comment, an empty key, the default value, a
// continued line) is read and kept whole through a write. A read fails when
// the store, the key or the value is missing or the value is larger than
// the buffer; it does not check the type. Unsafe names and keys are refused.
TEST_F(SettingsStoreTest, HandEditedFileIsReadAndKeptWholeAndReadsFailCleanly) {
  EXPECT_FALSE(Read("Parity"));  // no store: the size is left alone
  EXPECT_EQ(received_, 77u);
  PutStoreText(
      "Windows Registry Editor Version 5.00\r\n\r\n; written by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\r\n@=\"default\"\r\n"
      "\"Parity\"=hex(1):6f,64,\\\r\n  64,00\r\n");
  ASSERT_TRUE(Write("ByteSize", REG_SZ, Text("7")));
  EXPECT_FALSE(Read("COM1", "Software\\Norvane\\Ravelle\\Ports"));
  EXPECT_EQ(received_, 0u);  // the key is there, the value is not
  EXPECT_EQ(Read("ByteSize", kSettingsKey, 4), Text("7"));
  EXPECT_EQ(Read(""), Text("default"));
  EXPECT_EQ(Read("Parity", kSettingsKey, 4), Text("odd"));
  EXPECT_FALSE(Read("Parity", kSettingsKey, 3));
  EXPECT_EQ(received_, 0u);
  EXPECT_FALSE(Write("bad\nname", REG_SZ, Bytes{0}));
  EXPECT_FALSE(Write("V", REG_SZ, Bytes{0}, "Software\\\\Norvane"));
}

// A store that does not parse fails every read and write, and says where:
// the file, the line and what is wrong there. It is never replaced.
TEST_F(SettingsStoreTest, CorruptStoreFailsReadsAndIsNeverReplaced) {
  const std::string head = kStoreHead + "\"Connection\"=\"serial port - betabrite classic\"\n";
  const std::vector<std::pair<std::string, std::string>> rows = {
      {head + "\"ComPort\"=dword:0000\n", "line 5: the value \"ComPort\" is not well formed"},
      {head + "\"V\"=\"unterminated\n", "line 5: the value \"V\" is not well formed"},
      {head + "@=hex(1):61,,62\n", "line 5: the value @ is not well formed"},
      {head + "\r\n\"V\"=hex(1):61,\\\n", "line 6: a value continued past the end of the file"},
      {head + "V=\"unquoted\"\n", "line 5: not a \"name\"=value line"},
      {head + "[HKEY_CURRENT_USER\\Software\n", "line 5: a key line without its closing bracket"},
      {head + "[HKEY_CURRENT_USER\\\\Software]\n", "line 5: not a key path"},
      {"Windows Registry Editor Version 5.00\n\"V\"=\"x\"\n",
       "line 2: a value before the first [key] line"},
      {"REGEDIT4\n" + head.substr(36),
       "line 1: the first line is not \"Windows Registry Editor Version 5.00\""},
      {std::string(), "line 1: the first line is not \"Windows Registry Editor Version 5.00\""}};
  for (const auto& [text, reason] : rows) {
    SCOPED_TRACE(text);
    PutStoreText(text);
    EXPECT_FALSE(Read("Connection"));
    const std::string expected = StoreFile().string() + " cannot be read: " + reason;
    ASSERT_TRUE(registry_.StoreProblem());
    EXPECT_EQ(registry_.StoreProblem()->text, expected);
    EXPECT_EQ(registry_.StoreProblem()->errorCode, EINVAL);
    EXPECT_FALSE(Write("Connection", REG_SZ, Text("x")));
    ASSERT_TRUE(registry_.LastWriteProblem());
    EXPECT_EQ(registry_.LastWriteProblem()->text, expected);
    EXPECT_EQ(StoreText(), text);
  }
  // The store's name taken by a folder, then its folder's name by a file.
  std::filesystem::remove(StoreFile());
  std::filesystem::create_directories(StoreFile());
  EXPECT_FALSE(Read("Connection"));
  EXPECT_EQ(registry_.StoreProblem()->text,
            StoreFile().string() + " cannot be read: " + std::strerror(EISDIR));
  EXPECT_FALSE(Write("Connection", REG_SZ, Text("x")));
  std::filesystem::remove_all(StoreFile().parent_path());
  std::ofstream(home_ / "ravelle") << "in the way";
  EXPECT_FALSE(Write("Connection", REG_SZ, Text("x")));
  EXPECT_EQ(registry_.LastWriteProblem()->text,
            StoreFile().string() +
                " cannot be written: its folder cannot be made: " + std::strerror(EEXIST));
}

// A settings file is small: up to 1 MiB is read, a byte more is refused
// before it is parsed, and so is anything but a plain file (a pipe would
// hold the reader up for good).
TEST_F(SettingsStoreTest, OnlyAPlainFileOfAtMostOneMebibyteIsRead) {
  const std::string value = kStoreHead + "\"V\"=\"x\"\n;";
  const std::size_t limit = CSettingsStore::kMaxFileSize;
  PutStoreText(value + std::string(limit - value.size() - 1, 'c') + "\n");
  EXPECT_EQ(Read("V"), Text("x"));
  EXPECT_FALSE(registry_.StoreProblem());
  PutStoreText(value + std::string(limit - value.size(), 'c') + "\n");
  EXPECT_FALSE(Read("V"));
  ASSERT_TRUE(registry_.StoreProblem());
  EXPECT_EQ(registry_.StoreProblem()->errorCode, EFBIG);
  EXPECT_FALSE(Write("V", REG_SZ, Text("y")));
  EXPECT_EQ(std::filesystem::file_size(StoreFile()), limit + 1);

  std::filesystem::remove(StoreFile());
  ASSERT_EQ(mkfifo(StoreFile().c_str(), 0600), 0);
  EXPECT_FALSE(Read("V"));
  EXPECT_EQ(registry_.StoreProblem()->text,
            StoreFile().string() + " cannot be read: not a plain file");
  EXPECT_FALSE(Write("V", REG_SZ, Text("y")));
  EXPECT_TRUE(std::filesystem::is_fifo(StoreFile()));
}

// One operation reads the file once: inside a scope, a change made to the
// file after its first read is not seen, while the scope's own writes are;
// the next operation sees the file as it is then.
TEST_F(SettingsStoreTest, AReadScopeReadsTheFileOnceAndNoLonger) {
  PutStoreText(kStoreHead + "\"A\"=\"1\"\n");
  {
    const CSettingsReadScope operation;
    EXPECT_EQ(Read("A"), Text("1"));
    PutStoreText(kStoreHead + "\"A\"=\"2\"\n");
    EXPECT_EQ(Read("A"), Text("1"));
    {
      const CSettingsReadScope inner;
      EXPECT_EQ(Read("A"), Text("1")) << "an inner scope shares the outer one's read";
    }
    EXPECT_EQ(Read("A"), Text("1")) << "the inner scope's end keeps the outer read";
    ASSERT_TRUE(Write("B", REG_SZ, Text("3")));
    EXPECT_EQ(Read("B"), Text("3"));
    EXPECT_EQ(Read("A"), Text("2")) << "the write read the file as it now is";
    PutStoreText("garbage");
    EXPECT_FALSE(registry_.StoreProblem());
  }
  EXPECT_TRUE(registry_.StoreProblem());
  EXPECT_FALSE(Read("A"));
}

// Two running copies saving at once: every value of both survives, and no
// temporary file is left behind.
TEST_F(SettingsStoreTest, TwoWritersAtOnceLoseNothing) {
  pid_t children[2];
  for (int writer = 0; writer < 2; ++writer) {
    if ((children[writer] = fork()) == 0) {
      bool allStored = true;
      for (int value = writer; value < 80; value += 2) {
        allStored &= Write(std::to_string(value), REG_SZ, Text(std::to_string(value)));
      }
      _exit(allStored ? 0 : 1);
    }
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int value = 0; value < 80; ++value) {
    EXPECT_EQ(Read(std::to_string(value)), Text(std::to_string(value)));
  }
  for (const auto& entry : std::filesystem::directory_iterator(StoreFile().parent_path())) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "settings.reg" || name == "settings.reg.lock") << name;
  }
}

class SavedSettingsTest : public SettingsStoreTest {
 protected:
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

// The network type adds its three values after the seven; the other types
// write none of them and, read back, leave the document's as they were.
TEST_F(SavedSettingsTest, HostPortAndProtocolAreStoredOnlyForTheNetworkType) {
  CCommSettings network{"alpha", kConnectionNetwork, 1, 9600, 7, "even", 1, "sign.example",
                        4001,    kTcpProtocolRfc2217};
  SaveCommSettings(network, registry_);
  EXPECT_NE(StoreText().find("\"StopBits\"=dword:00000001\n\"Host\"=\"sign.example\"\n"
                             "\"TcpPort\"=dword:00000fa1\n\"TcpProtocol\"=\"RFC 2217\"\n"),
            std::string::npos);
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.connection, doc_.host, doc_.tcpPort, doc_.tcpProtocol),
            std::make_tuple(std::string(kConnectionNetwork), std::string("sign.example"), 4001,
                            std::string(kTcpProtocolRfc2217)));

  CCommSettings serial{"alpha", kConnectionSerialClassic, 2, 9600, 7, "even", 1};
  PutStoreText(kStoreHead);
  SaveCommSettings(serial, registry_);
  EXPECT_EQ(StoreText().find("Host"), std::string::npos);
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(
      std::tie(doc_.connection, doc_.host, doc_.tcpPort),
      std::make_tuple(std::string(kConnectionSerialClassic), std::string("sign.example"), 4001));
}

}  // namespace
