#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <tuple>
#include <vector>

#include "dialogs/RegistryAccess.h"
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

TEST_F(SettingsStoreTest, CorruptStoreFailsReadsAndIsNeverReplaced) {
  const std::string head = kStoreHead + "\"Connection\"=\"serial port - betabrite classic\"\n";
  for (const std::string& text :
       {head + "\"ComPort\"=dword:0000\n", head + "\"V\"=\"unterminated\n",
        head + "\"V\"=hex(1):61,,62\n", head + "\"V\"=hex(1):61,\\\n", head + "V=\"unquoted\"\n",
        "REGEDIT4\n" + head.substr(36), std::string("not a registry file\n"), std::string()}) {
    SCOPED_TRACE(text);
    PutStoreText(text);
    EXPECT_FALSE(Read("Connection"));
    EXPECT_FALSE(Write("Connection", REG_SZ, Text("x")));
    EXPECT_EQ(StoreText(), text);
  }
  // The store's name taken by a folder, then its folder's name by a file.
  std::filesystem::remove(StoreFile());
  std::filesystem::create_directories(StoreFile());
  EXPECT_FALSE(Read("Connection"));
  EXPECT_FALSE(Write("Connection", REG_SZ, Text("x")));
  std::filesystem::remove_all(StoreFile().parent_path());
  std::ofstream(home_ / "ravelle") << "in the way";
  EXPECT_FALSE(Write("Connection", REG_SZ, Text("x")));
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

}  // namespace
