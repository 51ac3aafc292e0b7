#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "dialogs/RegistryAccess.h"
#include "tests/settings/TemporaryConfigHome.h"

namespace {

using Bytes = std::vector<unsigned char>;
Bytes B(const char* text, std::size_t size) { return Bytes(text, text + size); }

class SettingsStoreTest : public TemporaryConfigHome {
 protected:
  bool Write(const char* name, std::uint32_t type, const Bytes& data,
             const char* key = kSettingsWriteKey) {
    return registry_.WriteValue(data.data(), type, static_cast<std::uint32_t>(data.size()),
                                HKEY_CURRENT_USER, key, name);
  }
  // Reads into a buffer of `capacity` bytes; nothing when the read fails.
  std::optional<Bytes> Read(const char* name, const char* key = kSettingsKey,
                            std::uint32_t capacity = 1000) {
    Bytes buffer(capacity, 9);
    received_ = 77;
    if (!registry_.ReadValue(buffer.data(), &received_, capacity, HKEY_CURRENT_USER, key, name)) {
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
  struct Row {
    std::uint32_t type;
    Bytes data;
    std::string fileLine;
  };
  for (const Row& row :
       std::vector<Row>{{REG_SZ, B("alpha", 6), "\"V\"=\"alpha\""},
                        {REG_SZ, Bytes{0}, "\"V\"=\"\""},
                        {REG_SZ, B("a\"b\\c", 6), "\"V\"=\"a\\\"b\\\\c\""},
                        {REG_SZ, B("Caf\xE9", 5), "\"V\"=hex(1):43,61,66,e9,00"},
                        {REG_SZ, B("ab", 2), "\"V\"=hex(1):61,62"},
                        {REG_SZ, B("a\0\0", 3), "\"V\"=hex(1):61,00,00"},
                        {REG_DWORD, Bytes{0x80, 0x25, 0, 0}, "\"V\"=dword:00002580"},
                        {REG_DWORD, Bytes{0xFF, 0xFF, 0xFF, 0xFF}, "\"V\"=dword:ffffffff"},
                        {REG_DWORD, Bytes{7, 0}, "\"V\"=hex(4):07,00"},
                        {3, Bytes{0, 0xFF, 0x10}, "\"V\"=hex:00,ff,10"}}) {
    SCOPED_TRACE(row.fileLine);
    ASSERT_TRUE(Write("V", row.type, row.data));
    EXPECT_NE(StoreText().find("\n" + row.fileLine + "\n"), std::string::npos) << StoreText();
    EXPECT_EQ(Read("V"), row.data);
  }
  Bytes blob(300);
  for (std::size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<unsigned char>(i);
  ASSERT_TRUE(Write("Blob", 3, blob));
  EXPECT_NE(StoreText().find(",\\\n  "), std::string::npos);  // continued over lines
  EXPECT_EQ(Read("Blob"), blob);
}

TEST_F(SettingsStoreTest, OneKeyWhateverTheTrailingBackslashOrLetterCase) {
  ASSERT_TRUE(Write("Protocol", REG_SZ, B("even", 5), "Software\\Norvane\\Ravelle\\"));
  ASSERT_TRUE(Write("protocol", REG_SZ, B("alpha", 6), "SOFTWARE\\norvane\\Ravelle"));
  ASSERT_TRUE(Write("ComPort", REG_DWORD, Bytes{3, 0, 0, 0}));
  EXPECT_EQ(StoreText(),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\n"
            "\"Protocol\"=\"alpha\"\n"
            "\"ComPort\"=dword:00000003\n\n");
  EXPECT_EQ(Read("PROTOCOL", "Software\\Norvane\\Ravelle\\"), B("alpha", 6));
}

TEST_F(SettingsStoreTest, FailedReadsAndTheReceivedSize) {
  EXPECT_FALSE(Read("ComPort"));  // no store: the size is left alone
  EXPECT_EQ(received_, 77u);
  ASSERT_TRUE(Write("Connection", REG_SZ, B("usb - betabrite prism", 22)));
  EXPECT_FALSE(Read("ComPort"));  // the key opens, the value is missing
  EXPECT_EQ(received_, 0u);
  EXPECT_FALSE(Read("Connection", kSettingsKey, 21));  // larger than the buffer
  EXPECT_EQ(received_, 0u);
  EXPECT_EQ(Read("Connection", kSettingsKey, 22), B("usb - betabrite prism", 22));
  ASSERT_TRUE(Write("ByteSize", REG_SZ, B("7", 2)));  // the type is not checked
  EXPECT_EQ(Read("ByteSize", kSettingsKey, 4), B("7", 2));
  unsigned char buffer[4];
  EXPECT_TRUE(registry_.ReadValue(buffer, nullptr, 4, HKEY_CURRENT_USER, kSettingsKey, "ByteSize"));
  EXPECT_FALSE(Write("bad\nname", REG_SZ, Bytes{0}));
  EXPECT_FALSE(Write("V", REG_SZ, Bytes{0}, "Software\\\\Norvane"));
}

TEST_F(SettingsStoreTest, CorruptStoreFailsReadsAndIsNeverReplaced) {
  const std::string head =
      "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\n"
      "\"Connection\"=\"serial port - betabrite classic\"\n";
  for (const std::string& text :
       {head + "\"ComPort\"=dword:0000\n", head + "\"V\"=\"unterminated\n",
        head + "\"V\"=hex(1):61,,62\n", head + "\"V\"=hex(1):61,\\\n", head + "V=\"unquoted\"\n",
        "REGEDIT4\n" + head.substr(36), std::string("not a registry file\n"), std::string()}) {
    SCOPED_TRACE(text);
    PutStoreText(text);
    EXPECT_FALSE(Read("Connection"));
    EXPECT_FALSE(Write("Connection", REG_SZ, B("x", 2)));
    EXPECT_EQ(StoreText(), text);
  }
  // The store's name taken by a folder, then its folder's name by a file.
  std::filesystem::remove(StoreFile());
  std::filesystem::create_directories(StoreFile());
  EXPECT_FALSE(Read("Connection"));
  EXPECT_FALSE(Write("Connection", REG_SZ, B("x", 2)));
  std::filesystem::remove_all(StoreFile().parent_path());
  std::ofstream(home_ / "ravelle") << "in the way";
  EXPECT_FALSE(Write("Connection", REG_SZ, B("x", 2)));
}

TEST_F(SettingsStoreTest, HandEditedFileIsReadAndKeptWhole) {
  PutStoreText(
      "Windows Registry Editor Version 5.00\r\n\r\n; written by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\r\n@=\"default\"\r\n"
      "\"Parity\"=hex(1):6f,64,\\\r\n  64,00\r\n");
  EXPECT_FALSE(Read("COM1", "Software\\Norvane\\Ravelle\\Ports"));
  EXPECT_EQ(received_, 0u);  // the key is there, the value is not
  ASSERT_TRUE(Write("ComPort", REG_DWORD, Bytes{4, 0, 0, 0}));
  EXPECT_EQ(Read(""), B("default", 8));
  EXPECT_EQ(Read("Parity"), B("odd", 4));
}

// Two running copies saving at once: every value of both survives.
TEST_F(SettingsStoreTest, TwoWritersAtOnceLoseNothing) {
  constexpr std::uint32_t kValuesEach = 40;
  pid_t children[2];
  for (std::uint32_t writer = 0; writer < 2; ++writer) {
    children[writer] = fork();
    ASSERT_GE(children[writer], 0);
    if (children[writer] == 0) {
      bool allStored = true;
      for (std::uint32_t i = 0; i < kValuesEach; ++i) {
        std::uint32_t value = writer * 1000 + i;
        allStored &= registry_.WriteValue(&value, REG_DWORD, 4, HKEY_CURRENT_USER,
                                          kSettingsWriteKey, std::to_string(value).c_str());
      }
      _exit(allStored ? 0 : 1);
    }
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (std::uint32_t writer = 0; writer < 2; ++writer) {
    for (std::uint32_t value = writer * 1000; value < writer * 1000 + kValuesEach; ++value) {
      EXPECT_EQ(Read(std::to_string(value).c_str()), B(reinterpret_cast<const char*>(&value), 4));
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator(StoreFile().parent_path())) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "settings.reg" || name == "settings.reg.lock") << name;
  }
}

}  // namespace
