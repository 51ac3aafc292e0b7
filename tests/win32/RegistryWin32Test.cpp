#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "game/RavelleDoc.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "tests/win32/RegistryCleanup.h"

namespace {

// Every case works in a key of its own, so cases may run side by side; it
// starts and ends without that key in the Wine prefix's registry.
class RegistryWin32Test : public testing::Test {
 protected:
  RegistryWin32Test() { DeleteCurrentUserKeyTree(key_.c_str()); }
  ~RegistryWin32Test() override { DeleteCurrentUserKeyTree(key_.c_str()); }

  const std::string key_ = std::string("Software\\Norvane\\RavelleTests\\") +
                           testing::UnitTest::GetInstance()->current_test_info()->name();
  CRegistryAccess registry_;
};

// The writer's spelling with a trailing backslash and the reader's without
// reach one key; every value comes back with its exact bytes and size.
TEST_F(RegistryWin32Test, ValuesComeBackByteForByteUnderEitherSpellingOfTheKey) {
  const unsigned char dword[4] = {0x80, 0x25, 0, 0};
  const std::vector<std::tuple<const char*, std::uint32_t, std::string>> rows = {
      {"Connection", REG_SZ, std::string("serial port - custom settings", 30)},
      {"Parity", REG_SZ, std::string(" ", 2)},
      {"Empty", REG_SZ, std::string(1, '\0')},
      {"BaudRate", REG_DWORD, std::string(reinterpret_cast<const char*>(dword), 4)}};
  for (const auto& [name, type, bytes] : rows) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(registry_.WriteValue(bytes.data(), type, static_cast<std::uint32_t>(bytes.size()),
                                     HKEY_CURRENT_USER, (key_ + "\\").c_str(), name));
    char buffer[64] = {};
    std::uint32_t received = 99;
    ASSERT_TRUE(registry_.ReadValue(buffer, &received, sizeof buffer, HKEY_CURRENT_USER,
                                    key_.c_str(), name));
    EXPECT_EQ(std::string(buffer, received), bytes);
  }
}

// A failed read leaves the caller's buffer; the received size is left alone
// when the key is missing and 0 when the value is missing or too large.
TEST_F(RegistryWin32Test, FailedReadsLeaveTheCallersDefault) {
  ASSERT_TRUE(
      registry_.WriteValue("0123456789", REG_SZ, 11, HKEY_CURRENT_USER, key_.c_str(), "Long"));
  struct Row {
    const char* key;
    const char* name;
    std::uint32_t capacity;
    std::uint32_t received;
  };
  const std::string missingKey = key_ + "\\Missing";
  for (const Row& row : {Row{missingKey.c_str(), "Long", 64, 77},
                         Row{key_.c_str(), "Missing", 64, 0}, Row{key_.c_str(), "Long", 10, 0}}) {
    SCOPED_TRACE(std::string(row.key) + " " + row.name);
    char buffer[64] = "default";
    std::uint32_t received = 77;
    EXPECT_FALSE(
        registry_.ReadValue(buffer, &received, row.capacity, HKEY_CURRENT_USER, row.key, row.name));
    EXPECT_EQ(received, row.received);
    EXPECT_STREQ(buffer, "default");
  }
}

// The core's settings on the program's own key: numbers come back through
// the value's type, and a number stored as text, as a hand edit might leave
// it, is never read by its bytes ("3" would be port 51): it counts as
// missing. (A missing key or a text too long for the reader's buffer is
// ReadValue's failure above; the rest of what is saved is the core's,
// proved on Linux.)
TEST_F(RegistryWin32Test, SavedSettingsReadTheProgramsKeyByTheValuesType) {
  DeleteCurrentUserKeyTree(kSettingsKey);
  CRavelleDoc doc;
  CCommSettings custom{"alpha", kConnectionSerialCustom, 4, 19200, 8, "none", 2};
  SaveCommSettings(custom, registry_);
  ASSERT_TRUE(ReadSavedSettings(doc, registry_));
  EXPECT_EQ(
      std::tie(doc.connection, doc.comPort, doc.baudRate, doc.byteSize, doc.parity, doc.stopBits),
      std::make_tuple(std::string(kConnectionSerialCustom), 4, 19200, 8, std::string("none"), 2));
  SetCurrentUserValue(kSettingsKey, "ComPort", REG_SZ, "3", 2);
  ASSERT_TRUE(ReadSavedSettings(doc, registry_));
  EXPECT_EQ(doc.comPort, 1);
  DeleteCurrentUserKeyTree(kSettingsKey);
}

// A write the registry refuses says why, naming the key, for the save
// button's message box; the next one that works clears it.
TEST_F(RegistryWin32Test, AFailedWriteKeepsTheKeyAndTheSystemsReason) {
  const std::string tooLongName = key_ + "\\" + std::string(300, 'k');
  const std::uint32_t value = 7;
  EXPECT_FALSE(registry_.WriteValue(&value, REG_DWORD, sizeof value, HKEY_CURRENT_USER,
                                    tooLongName.c_str(), "Value"));
  ASSERT_TRUE(registry_.LastWriteProblem().has_value());
  EXPECT_NE(registry_.LastWriteProblem()->errorCode, 0);
  EXPECT_EQ(registry_.LastWriteProblem()->text.rfind("HKEY_CURRENT_USER\\" + key_, 0), 0u)
      << registry_.LastWriteProblem()->text;

  EXPECT_TRUE(registry_.WriteValue(&value, REG_DWORD, sizeof value, HKEY_CURRENT_USER, key_.c_str(),
                                   "Value"));
  EXPECT_FALSE(registry_.LastWriteProblem().has_value());
}

}  // namespace
