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
// reach one key; every value comes back with its exact bytes and size. A
// failed read leaves the caller's buffer; the received size is left alone
// when the key is missing and 0 when the value is missing or too large.
TEST_F(RegistryWin32Test, ValuesComeBackByteForByteAndFailedReadsLeaveTheCallersDefault) {
  const std::vector<std::tuple<const char*, std::uint32_t, std::string>> rows = {
      {"Connection", REG_SZ, std::string("serial port - custom settings", 30)},
      {"Parity", REG_SZ, std::string(" ", 2)},
      {"Empty", REG_SZ, std::string(1, '\0')},
      {"BaudRate", REG_DWORD, std::string("\x80\x25\0\0", 4)}};
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

  const std::string missingKey = key_ + "\\Missing";
  for (const auto& [key, name, capacity, received] :
       {std::make_tuple(missingKey, "Connection", 64u, 77u),
        std::make_tuple(key_, "Missing", 64u, 0u), std::make_tuple(key_, "Connection", 29u, 0u)}) {
    char buffer[64] = "default";
    std::uint32_t size = 77;
    EXPECT_FALSE(
        registry_.ReadValue(buffer, &size, capacity, HKEY_CURRENT_USER, key.c_str(), name));
    EXPECT_EQ(std::to_string(size) + " " + buffer, std::to_string(received) + " default")
        << key << " " << name;
  }
}

// The core's settings on the program's own key: numbers come back through
// the value's type, and a number stored as text, as a hand edit might leave
// it, is never read by its bytes ("3" would be port 51): it counts as
// missing. (A missing key or a text too long for the reader's buffer is
// ReadValue's failure above; the rest of what is saved is the core's,
// proved on Linux.)
TEST_F(RegistryWin32Test, SavedSettingsReadTheProgramsKeyByTheValuesType) {
  CRavelleDoc doc;
  CCommSettings custom{"alpha", kConnectionSerialCustom, 4, 19200, 8, "none", 2};
  SaveCommSettings(custom, registry_);
  ASSERT_TRUE(ReadSavedSettings(doc, registry_));
  EXPECT_EQ(
      std::tie(doc.connection, doc.comPort, doc.baudRate, doc.byteSize, doc.parity, doc.stopBits),
      std::make_tuple(std::string(kConnectionSerialCustom), 4, 19200, 8, std::string("none"), 2));
  registry_.WriteValue("3", REG_SZ, 2, HKEY_CURRENT_USER, kSettingsKey, "ComPort");
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
  const auto problem = registry_.LastWriteProblem();
  ASSERT_TRUE(problem.has_value());
  EXPECT_TRUE(problem->errorCode != 0 && problem->text.rfind("HKEY_CURRENT_USER\\" + key_, 0) == 0)
      << problem->errorCode << " " << problem->text;
  EXPECT_TRUE(registry_.WriteValue(&value, REG_DWORD, sizeof value, HKEY_CURRENT_USER, key_.c_str(),
                                   "Value"));
  EXPECT_FALSE(registry_.LastWriteProblem().has_value());
}

}  // namespace
