// The settings store (the file, its values, its failures) and the
// connection settings saved in it.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <numeric>
#include <optional>
#include <tuple>
#include <vector>

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
    if (registry_.ReadValue(buffer.data(), &received_, capacity, HKEY_CURRENT_USER, key,
                            name.c_str()))
      return Bytes(buffer.begin(), buffer.begin() + received_);
    EXPECT_EQ(buffer, Bytes(capacity, 9));  // a failed read leaves the buffer alone
    return std::nullopt;
  }
  // A store the program must not use: a read and a write of a value both
  // fail on one problem, given as "errno text".
  std::string Refusal() {
    const bool used = Read("V") || Write("V", REG_SZ, Text("x"));
    const auto problem = registry_.StoreProblem().value_or(CSettingsProblem{0, "none"});
    const auto written = registry_.LastWriteProblem().value_or(CSettingsProblem{0, "none"});
    return (used ? "used! " : "") + (written.text == problem.text ? "" : written.text + "; ") +
           std::to_string(problem.errorCode) + " " + problem.text;
  }

  CRegistryAccess registry_;
  std::uint32_t received_ = 0;
};

// Every value keeps its type and exact bytes, in a form a person can read.
// A hand-edited file (CRLF, a comment, an empty key, the default value, a
// continued line) is read and kept through writes, which find one key
// whatever its trailing backslash or letter case and one value whatever the
// case of its name. A read fails when the store, the key or the value is
// missing or the value is larger than the buffer; it does not check the
// type. Unsafe names and keys are refused.
TEST_F(SettingsStoreTest, ValuesKeepTheirBytesInAFileAPersonCanReadAndEdit) {
  EXPECT_FALSE(Read("Parity") || received_ != 77u) << "no store: the size is left alone";
  PutStoreText(
      "Windows Registry Editor Version 5.00\r\n\r\n; written by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\r\n@=\"default\"\r\n"
      "\"Parity\"=hex(1):6f,64,\\\r\n  64,00\r\n\"Protocol\"=\"even\"\r\n");
  const std::vector<std::tuple<std::string, std::uint32_t, Bytes>> values = {
      {"protocol", REG_SZ, Text("alpha")}, {"B", REG_SZ, Bytes{0}},
      {"C", REG_SZ, Text("a\"b\\c")},      {"D", REG_SZ, Text("Caf\xE9")},
      {"E", REG_SZ, Bytes{'a', 0, 0}},     {"F", REG_DWORD, Bytes{0x80, 0x25, 0, 0}},
      {"G", REG_DWORD, Bytes{7, 0}},       {"H", 3, Bytes{0, 0xFF, 0x10}}};
  for (const auto& [name, type, data] : values)
    ASSERT_TRUE(Write(name, type, data, "SOFTWARE\\norvane\\Ravelle"));
  EXPECT_EQ(
      StoreText(),
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\n\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\n@=\"default\"\n\"Parity\"=\"odd\"\n"
      "\"Protocol\"=\"alpha\"\n\"B\"=\"\"\n\"C\"=\"a\\\"b\\\\c\"\n\"D\"=hex(1):43,61,66,e9,00\n"
      "\"E\"=hex(1):61,00,00\n\"F\"=dword:00002580\n\"G\"=hex(4):07,00\n\"H\"=hex:00,ff,10\n\n");
  for (const auto& [name, type, data] : values) EXPECT_EQ(Read(name), data) << name;
  Bytes blob(300);
  std::iota(blob.begin(), blob.end(), 0);
  ASSERT_TRUE(Write("Blob", 3, blob));
  EXPECT_NE(StoreText().find(",\\\n  "), std::string::npos);  // continued over lines
  EXPECT_EQ(Read("Blob"), blob);
  EXPECT_FALSE(Read("COM1", "Software\\Norvane\\Ravelle\\Ports") || received_ != 0);  // no value
  EXPECT_EQ(Read("PROTOCOL", "Software\\Norvane\\Ravelle\\", 6), Text("alpha"));
  EXPECT_EQ(Read(""), Text("default"));
  EXPECT_EQ(Read("Parity", kSettingsKey, 4), Text("odd"));
  EXPECT_FALSE(Read("Parity", kSettingsKey, 3) || received_ != 0);
  EXPECT_FALSE(Write("bad\nname", REG_SZ, Bytes{0}));
  EXPECT_FALSE(Write("V", REG_SZ, Bytes{0}, "Software\\\\Norvane"));
}

// A store that does not parse, is larger than 1 MiB (up to 1 MiB is read) or
// is not a plain file fails every read and write, and says where: the file,
// the line and what is wrong there. It is never replaced.
TEST_F(SettingsStoreTest, AStoreThatCannotBeReadFailsReadsAndWritesAndIsNeverReplaced) {
  const std::string file = StoreFile().string();
  const std::string head = kStoreHead + "\"Connection\"=\"serial port - betabrite classic\"\n";
  const std::string notAStore =
      "line 1: the first line is not \"Windows Registry Editor Version 5.00\"";
  const std::string value = kStoreHead + "\"V\"=\"x\"\n;";
  const std::size_t limit = CSettingsStore::kMaxFileSize;
  PutStoreText(value + std::string(limit - value.size() - 1, 'c') + "\n");
  EXPECT_EQ(Read("V"), Text("x"));
  for (const auto& [text, code, reason] : std::vector<std::tuple<std::string, int, std::string>>{
           {head + "\"ComPort\"=dword:0000\n", EINVAL,
            "line 5: the value \"ComPort\" is not well formed"},
           {head + "\"V\"=\"unterminated\n", EINVAL, "line 5: the value \"V\" is not well formed"},
           {head + "@=hex(1):61,,62\n", EINVAL, "line 5: the value @ is not well formed"},
           {head + "\r\n\"V\"=hex(1):61,\\\n", EINVAL,
            "line 6: a value continued past the end of the file"},
           {head + "V=\"unquoted\"\n", EINVAL, "line 5: not a \"name\"=value line"},
           {head + "[HKEY_CURRENT_USER\\Software\n", EINVAL,
            "line 5: a key line without its closing bracket"},
           {head + "[HKEY_CURRENT_USER\\\\Software]\n", EINVAL, "line 5: not a key path"},
           {"Windows Registry Editor Version 5.00\n\"V\"=\"x\"\n", EINVAL,
            "line 2: a value before the first [key] line"},
           {"REGEDIT4\n" + head.substr(36), EINVAL, notAStore},
           {std::string(), EINVAL, notAStore},
           // Larger than 1 MiB: refused before it is parsed.
           {value + std::string(limit - value.size(), 'c') + "\n", EFBIG,
            "larger than 1 MiB, which no settings file is"}}) {
    SCOPED_TRACE(reason);
    PutStoreText(text);
    EXPECT_EQ(Refusal(), std::to_string(code) + " " + file + " cannot be read: " + reason);
    EXPECT_TRUE(StoreText() == text);
  }
  // Not a plain file: a pipe would hold the reader up for good.
  std::filesystem::remove(StoreFile());
  ASSERT_EQ(mkfifo(StoreFile().c_str(), 0600), 0);
  EXPECT_EQ(Refusal(), std::to_string(EINVAL) + " " + file + " cannot be read: not a plain file");
  // The store's name taken by a folder, then its folder's name by a file.
  std::filesystem::remove(StoreFile());
  std::filesystem::create_directories(StoreFile());
  EXPECT_EQ(Refusal(),
            std::to_string(EISDIR) + " " + file + " cannot be read: " + std::strerror(EISDIR));
  std::filesystem::remove_all(StoreFile().parent_path());
  std::ofstream(home_ / "ravelle") << "in the way";
  EXPECT_FALSE(Write("Connection", REG_SZ, Text("x")));
  EXPECT_EQ(registry_.LastWriteProblem()->text,
            file + " cannot be written: its folder cannot be made: " + std::strerror(EEXIST));
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
    {
      const CSettingsReadScope inner;
      EXPECT_EQ(Read("A"), Text("1")) << "an inner scope shares the outer one's read";
    }
    EXPECT_EQ(Read("A"), Text("1")) << "the inner scope's end keeps the outer read";
    EXPECT_TRUE(Write("B", REG_SZ, Text("3")) && Read("B") == Text("3")) << "its own write is seen";
    EXPECT_EQ(Read("A"), Text("2")) << "the write read the file as it now is";
    PutStoreText("garbage");
    EXPECT_FALSE(registry_.StoreProblem());
  }
  EXPECT_FALSE(Read("A"));
}

// Two running copies saving at once: every value of both survives, and no
// temporary file is left behind.
TEST_F(SettingsStoreTest, TwoWritersAtOnceLoseNothing) {
  pid_t children[2];
  for (int writer = 0; writer < 2; ++writer) {
    if ((children[writer] = fork()) == 0) {
      bool allStored = true;
      for (int value = writer; value < 80; value += 2)
        allStored &= Write(std::to_string(value), REG_SZ, Text(std::to_string(value)));
      _exit(allStored ? 0 : 1);
    }
  }
  for (pid_t pid : children) {
    int status = -1;
    EXPECT_TRUE(waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int value = 0; value < 80; ++value)
    EXPECT_EQ(Read(std::to_string(value)), Text(std::to_string(value)));
  for (const auto& entry : std::filesystem::directory_iterator(StoreFile().parent_path())) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "settings.reg" || name == "settings.reg.lock") << name;
  }
}

// The fields a read fills, in one line.
std::string Describe(const CCommSettings& s) {
  return s.connection + "|" + std::to_string(s.comPort) + "|" + std::to_string(s.baudRate) + "|" +
         std::to_string(s.byteSize) + "|" + s.parity + "|" + std::to_string(s.stopBits) + "|" +
         s.host + "|" + std::to_string(s.tcpPort) + "|" + s.tcpProtocol;
}

// A save writes the seven values in order (a port below 1 as 1, a text cut
// to the 999 characters the reader's buffer holds with its zero), then the
// network type's three, which the other types do not write.
TEST_F(SettingsStoreTest, SaveWritesTheSevenValuesInOrderThenTheNetworksThree) {
  const std::string seven =
      "\"ComPort\"=dword:00000001\n\"BaudRate\"=dword:00004b00\n\"ByteSize\"=dword:00000008\n"
      "\"Parity\"=\"odd\"\n\"StopBits\"=dword:00000002\n";
  CCommSettings settings{"alpha", std::string(1500, 'c'), -4, 19200, 8, "odd", 2, "sign.example",
                         4001,    kTcpProtocolRfc2217};
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(StoreText(), kStoreHead + "\"Protocol\"=\"alpha\"\n\"Connection\"=\"" +
                             std::string(999, 'c') + "\"\n" + seven + "\n");
  settings.connection = kConnectionNetwork;
  SaveCommSettings(settings, registry_);
  EXPECT_EQ(StoreText(), kStoreHead + "\"Protocol\"=\"alpha\"\n\"Connection\"=\"" +
                             kConnectionNetwork + "\"\n" + seven +
                             "\"Host\"=\"sign.example\"\n\"TcpPort\"=dword:00000fa1\n"
                             "\"TcpProtocol\"=\"RFC 2217\"\n\n");
}

// A read takes the Connection first: none (as in a store that cannot be
// read, which says why to a caller that asks) asks for the dialog and
// nothing else is read. Then each value is read if stored as its own type,
// or gives its default: a hand edit of another type ("ComPort"="3", a
// number of the wrong size, a text stored as a number) and a text too long
// for the reader's buffer are missing, never a number made of their bytes.
// Only the network type reads its three values.
TEST_F(SettingsStoreTest, SavedSettingsReadTheConnectionFirstThenEachValueOrItsDefault) {
  const std::string untouched = "|5|2|2|x|2|h|9|p", defaults = "|1|9600|7|even|1|h|9|p";
  for (const auto& [text, read] : std::vector<std::pair<std::string, std::string>>{
           {"garbage\n", StoreFile().string() +
                             " cannot be read: line 1: the first line is not "
                             "\"Windows Registry Editor Version 5.00\"" +
                             untouched},
           {"\"Connection\"=\"serial port - custom settings\"\n\"ComPort\"=\"3\"\n"
            "\"BaudRate\"=hex:80,25,00,00\n\"ByteSize\"=hex(4):08,00\n\"Parity\"=dword:00000001\n"
            "\"StopBits\"=hex(b):02,00,00,00,00,00,00,00\n\"Host\"=\"x\"\n",
            "serial port - custom settings" + defaults},
           {"\"Connection\"=\"" + std::string(999, 'c') + "\"\n\"Parity\"=\"" +
                std::string(1000, 'p') + "\"\n",
            std::string(999, 'c') + defaults},
           // Text written as hex, even without its zero, is still text.
           {"\"Connection\"=hex(1):75,73,62,00\n\"ComPort\"=dword:00000003\n"
            "\"Parity\"=hex(1):6f,64,64\n",
            "usb|3|9600|7|odd|1|h|9|p"},
           {"\"Connection\"=\"network - serial device server\"\n\"Host\"=\"sign.example\"\n"
            "\"TcpPort\"=dword:00000fa1\n\"TcpProtocol\"=\"RFC 2217\"\n",
            "network - serial device server|1|9600|7|even|1|sign.example|4001|RFC 2217"}}) {
    SCOPED_TRACE(text.substr(0, 60));
    PutStoreText(text == "garbage\n" ? text : kStoreHead + text);
    CCommSettings settings{"", "x", 5, 2, 2, "x", 2, "h", 9, "p"};
    std::string problem = "stale";
    const bool found = ReadSavedSettings(settings, registry_, &problem);
    EXPECT_EQ(found, !settings.connection.empty());
    EXPECT_EQ(problem + Describe(settings), read);
  }
}

}  // namespace
