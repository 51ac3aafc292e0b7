#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "dialogs/RegistryAccess.h"
#include "tests/settings/TemporaryConfigHome.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes B(const std::string& text) { return Bytes(text.begin(), text.end()); }

class SettingsStoreTest : public TemporaryConfigHome {
 protected:
  bool Write(const char* name, std::uint32_t type, const Bytes& data,
             const char* key = kSettingsWriteKey) {
    return registry_.WriteValue(data.data(), type, static_cast<std::uint32_t>(data.size()),
                                HKEY_CURRENT_USER, key, name);
  }
  // Reads into a 1000-byte buffer; nothing when the read fails.
  std::optional<Bytes> Read(const char* name, const char* key = kSettingsKey) {
    Bytes buffer(1000);
    std::uint32_t received = 12345;
    if (!registry_.ReadValue(buffer.data(), &received, 1000, HKEY_CURRENT_USER, key, name)) {
      return std::nullopt;
    }
    buffer.resize(received);
    return buffer;
  }

  CRegistryAccess registry_;
};

struct ValueRow {
  const char* what;
  std::uint32_t type;
  Bytes data;
  std::string fileLine;  // how the value stands in the file
};

// Every value keeps its type and exact bytes through the file.
TEST_F(SettingsStoreTest, ValuesKeepTheirBytesAndReadableFormInTheFile) {
  const std::vector<ValueRow> rows = {
      {"plain text", REG_SZ, B(std::string("alpha", 6)), "\"V\"=\"alpha\""},
      {"single blank", REG_SZ, B(std::string(" ", 2)), "\"V\"=\" \""},
      {"empty text", REG_SZ, Bytes{0}, "\"V\"=\"\""},
      {"quote and backslash", REG_SZ, B(std::string("a\"b\\c", 6)), "\"V\"=\"a\\\"b\\\\c\""},
      {"Windows-1252 letter", REG_SZ, B(std::string("Caf\xE9", 5)), "\"V\"=hex(1):43,61,66,e9,00"},
      {"text without its zero", REG_SZ, B("ab"), "\"V\"=hex(1):61,62"},
      {"text with two zeros", REG_SZ, B(std::string("a\0\0", 3)), "\"V\"=hex(1):61,00,00"},
      {"no bytes at all", REG_SZ, Bytes{}, "\"V\"=hex(1):"},
      {"dword one", REG_DWORD, Bytes{1, 0, 0, 0}, "\"V\"=dword:00000001"},
      {"dword minus one", REG_DWORD, Bytes{0xFF, 0xFF, 0xFF, 0xFF}, "\"V\"=dword:ffffffff"},
      {"dword 9600", REG_DWORD, Bytes{0x80, 0x25, 0, 0}, "\"V\"=dword:00002580"},
      {"dword of two bytes", REG_DWORD, Bytes{7, 0}, "\"V\"=hex(4):07,00"},
      {"binary", 3, Bytes{0, 0xFF, 0x10}, "\"V\"=hex:00,ff,10"},
      {"other type", 7, B(std::string("a\0\0", 3)), "\"V\"=hex(7):61,00,00"},
  };
  for (const ValueRow& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_TRUE(Write("V", row.type, row.data));
    EXPECT_NE(StoreText().find("\n" + row.fileLine + "\n"), std::string::npos) << StoreText();
    EXPECT_EQ(Read("V"), row.data);
  }
}

TEST_F(SettingsStoreTest, LongHexValueContinuesOverLinesAndReadsBack) {
  Bytes data;
  for (int i = 0; i < 300; ++i) data.push_back(static_cast<unsigned char>(i));
  ASSERT_TRUE(Write("Blob", 3, data));
  EXPECT_NE(StoreText().find(",\\\n  "), std::string::npos);
  EXPECT_EQ(Read("Blob"), data);
}

TEST_F(SettingsStoreTest, FileIsARegistryExportOfTheCurrentUserKey) {
  ASSERT_TRUE(Write("Protocol", REG_SZ, B(std::string("alpha", 6))));
  ASSERT_TRUE(Write("ComPort", REG_DWORD, Bytes{3, 0, 0, 0}));
  EXPECT_EQ(StoreText(),
            "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\n"
            "\"Protocol\"=\"alpha\"\n"
            "\"ComPort\"=dword:00000003\n\n");
}

TEST_F(SettingsStoreTest, KeyWithTrailingBackslashIsTheSameKey) {
  ASSERT_TRUE(Write("A", REG_DWORD, Bytes{1, 0, 0, 0}, "Software\\Norvane\\Ravelle\\"));
  ASSERT_TRUE(Write("B", REG_DWORD, Bytes{2, 0, 0, 0}, "Software\\Norvane\\Ravelle"));
  EXPECT_EQ(Read("A", "Software\\Norvane\\Ravelle"), (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(Read("B", "Software\\Norvane\\Ravelle\\"), (Bytes{2, 0, 0, 0}));
  // Keys and names ignore letter case, as in the registry.
  EXPECT_EQ(Read("a", "SOFTWARE\\norvane\\RAVELLE"), (Bytes{1, 0, 0, 0}));
  EXPECT_EQ(StoreText().find("[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]"),
            StoreText().rfind("[HKEY_CURRENT_USER"));
}

TEST_F(SettingsStoreTest, RewritingAValueReplacesIt) {
  ASSERT_TRUE(Write("Parity", REG_SZ, B(std::string("even", 5))));
  ASSERT_TRUE(Write("Parity", REG_SZ, B(std::string("odd", 4))));
  EXPECT_EQ(Read("Parity"), B(std::string("odd", 4)));
  EXPECT_EQ(StoreText().find("even"), std::string::npos);
}

TEST_F(SettingsStoreTest, FailedReadsAndTheReceivedSize) {
  CRegistryAccess registry;
  unsigned char buffer[4] = {9, 9, 9, 9};
  std::uint32_t received = 77;

  // No store, so the key cannot be opened: the size is left alone.
  EXPECT_FALSE(
      registry.ReadValue(buffer, &received, 4, HKEY_CURRENT_USER, kSettingsKey, "ComPort"));
  EXPECT_EQ(received, 77u);

  ASSERT_TRUE(Write("Connection", REG_SZ, B(std::string("usb - betabrite prism", 22))));
  // The key opens but the value is missing: the size becomes 0.
  EXPECT_FALSE(
      registry.ReadValue(buffer, &received, 4, HKEY_CURRENT_USER, kSettingsKey, "ComPort"));
  EXPECT_EQ(received, 0u);

  // A value larger than the buffer fails and leaves the buffer alone.
  received = 77;
  EXPECT_FALSE(
      registry.ReadValue(buffer, &received, 4, HKEY_CURRENT_USER, kSettingsKey, "Connection"));
  EXPECT_EQ(received, 0u);
  EXPECT_EQ(buffer[0], 9);

  // The type is not checked: a text that fits is read as bytes.
  ASSERT_TRUE(Write("ByteSize", REG_SZ, B(std::string("7", 2))));
  EXPECT_TRUE(
      registry.ReadValue(buffer, &received, 4, HKEY_CURRENT_USER, kSettingsKey, "ByteSize"));
  EXPECT_EQ(received, 2u);
  EXPECT_EQ(buffer[0], '7');
  EXPECT_EQ(buffer[1], 0);

  // The size count is optional.
  EXPECT_TRUE(registry.ReadValue(buffer, nullptr, 4, HKEY_CURRENT_USER, kSettingsKey, "ByteSize"));
}

TEST_F(SettingsStoreTest, CorruptStoreFailsReadsAndIsNeverReplaced) {
  const std::string corrupt =
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\n"
      "\"Connection\"=\"serial port - betabrite classic\"\n"
      "\"ComPort\"=dword:0000\n";
  for (const std::string& text : {corrupt, std::string("not a registry file\n"), std::string()}) {
    PutStoreText(text);
    EXPECT_FALSE(Read("Connection"));
    EXPECT_FALSE(Write("Connection", REG_SZ, B(std::string("x", 2))));
    EXPECT_EQ(StoreText(), text);
  }
}

TEST_F(SettingsStoreTest, UnreadableOrUnwritablePlacesFailWithoutHarm) {
  // The store's name is taken by a folder: nothing can be read or written.
  std::filesystem::create_directories(StoreFile());
  EXPECT_FALSE(Read("Connection"));
  EXPECT_FALSE(Write("Connection", REG_SZ, B(std::string("x", 2))));
  std::filesystem::remove_all(StoreFile().parent_path());

  // The store's folder cannot be made because a file has its name.
  std::ofstream(home_ / "ravelle") << "in the way";
  EXPECT_FALSE(Write("Connection", REG_SZ, B(std::string("x", 2))));
  EXPECT_FALSE(Read("Connection"));
}

TEST_F(SettingsStoreTest, NamesAndKeysTheFileCannotHoldAreRefused) {
  EXPECT_FALSE(Write("bad\nname", REG_SZ, Bytes{0}));
  EXPECT_FALSE(Write("V", REG_SZ, Bytes{0}, "Software\\\\Norvane"));
  EXPECT_FALSE(Write("V", REG_SZ, Bytes{0}, "Software\\[x]"));
  EXPECT_FALSE(std::filesystem::exists(StoreFile()));
}

TEST_F(SettingsStoreTest, HandEditedFileIsRead) {
  PutStoreText(
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "; written by hand\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle]\r\n"
      "@=\"default\"\r\n"
      "\"Parity\"=hex(1):6f,64,\\\r\n"
      "  64,00\r\n"
      "\"StopBits\"=dword:00000002\r\n");
  EXPECT_EQ(Read(""), B(std::string("default", 8)));
  EXPECT_EQ(Read("Parity"), B(std::string("odd", 4)));
  EXPECT_EQ(Read("StopBits"), (Bytes{2, 0, 0, 0}));

  // The Ports key exists without values: the value is missing, not the key.
  unsigned char buffer[8];
  std::uint32_t received = 77;
  EXPECT_FALSE(registry_.ReadValue(buffer, &received, 8, HKEY_CURRENT_USER,
                                   "Software\\Norvane\\Ravelle\\Ports", "COM1"));
  EXPECT_EQ(received, 0u);

  // A write keeps everything the file held.
  ASSERT_TRUE(Write("ComPort", REG_DWORD, Bytes{4, 0, 0, 0}));
  EXPECT_EQ(Read("Parity"), B(std::string("odd", 4)));
  EXPECT_EQ(Read(""), B(std::string("default", 8)));
}

TEST_F(SettingsStoreTest, ConfigHomeFallsBackToHomeWhenUnsetOrRelative) {
  setenv("HOME", home_.c_str(), 1);
  for (bool unset : {true, false}) {
    if (unset) {
      unsetenv("XDG_CONFIG_HOME");
    } else {
      setenv("XDG_CONFIG_HOME", "relative/path", 1);
    }
    ASSERT_TRUE(Write("V", REG_DWORD, Bytes{5, 0, 0, 0}));
    EXPECT_TRUE(std::filesystem::exists(home_ / ".config" / "ravelle" / "settings.reg"));
    EXPECT_EQ(Read("V"), (Bytes{5, 0, 0, 0}));
  }
}

// Two running copies saving at once: every value of both survives.
TEST_F(SettingsStoreTest, TwoWritersAtOnceLoseNothing) {
  constexpr int kValuesEach = 40;
  std::vector<pid_t> children;
  for (int writer = 0; writer < 2; ++writer) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      CRegistryAccess registry;
      bool allStored = true;
      for (int i = 0; i < kValuesEach; ++i) {
        std::string name = "W" + std::to_string(writer) + "_" + std::to_string(i);
        std::uint32_t value = static_cast<std::uint32_t>(writer * 1000 + i);
        allStored &= registry.WriteValue(&value, REG_DWORD, 4, HKEY_CURRENT_USER, kSettingsWriteKey,
                                         name.c_str());
      }
      _exit(allStored ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int writer = 0; writer < 2; ++writer) {
    for (int i = 0; i < kValuesEach; ++i) {
      std::string name = "W" + std::to_string(writer) + "_" + std::to_string(i);
      std::uint32_t value = static_cast<std::uint32_t>(writer * 1000 + i);
      Bytes expected(reinterpret_cast<unsigned char*>(&value),
                     reinterpret_cast<unsigned char*>(&value) + 4);
      EXPECT_EQ(Read(name.c_str()), expected) << name;
    }
  }
  // No temporary file is left behind.
  for (const auto& entry : std::filesystem::directory_iterator(StoreFile().parent_path())) {
    std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "settings.reg" || name == "settings.reg.lock") << name;
  }
}

}  // namespace
