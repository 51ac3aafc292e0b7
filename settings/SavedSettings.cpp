#include "settings/SavedSettings.h"

#include <array>
#include <cstring>

#include "settings/RegistryAccess.h"
#include "settings/SettingsReadScope.h"

namespace {

// Strings are read into a zero-filled 1000-byte buffer, so a stored text of
// up to 999 characters comes back terminated and a longer one fails to read.
constexpr std::uint32_t kTextBufferSize = 1000;

// A text is taken only when it is stored as one (REG_SZ); anything else
// reads as missing and gives the default.
std::string ReadText(CRegistryAccess& registry, const char* name, const char* fallback) {
  std::array<char, kTextBufferSize> buffer{};
  std::uint32_t type = 0;
  if (!registry.ReadValue(buffer.data(), nullptr, kTextBufferSize, HKEY_CURRENT_USER, kSettingsKey,
                          name, &type) ||
      type != REG_SZ) {
    return fallback;
  }
  // A stored text without its zero still ends inside the buffer.
  buffer.back() = 0;
  return buffer.data();
}

// A number is taken only when it is stored as one: a REG_DWORD of four
// bytes, little-endian. A text ("ComPort"="3", as a hand edit writes it) or
// a value of another size reads as missing and gives the default; its bytes
// are never taken for a number.
int ReadNumber(CRegistryAccess& registry, const char* name, std::int32_t fallback) {
  unsigned char bytes[4] = {};
  std::uint32_t size = 0;
  std::uint32_t type = 0;
  if (!registry.ReadValue(bytes, &size, sizeof bytes, HKEY_CURRENT_USER, kSettingsKey, name,
                          &type) ||
      type != REG_DWORD || size != sizeof bytes) {
    return fallback;
  }
  auto value =
      bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
  return static_cast<std::int32_t>(value);
}

bool WriteText(CRegistryAccess& registry, const char* name, const std::string& text) {
  // Formatted through a 1000-byte buffer: a longer text is cut to 999.
  std::string stored = text.substr(0, kTextBufferSize - 1);
  stored = stored.c_str();
  return registry.WriteValue(stored.c_str(), REG_SZ, static_cast<std::uint32_t>(stored.size() + 1),
                             HKEY_CURRENT_USER, kSettingsWriteKey, name);
}

bool WriteNumber(CRegistryAccess& registry, const char* name, std::int32_t number) {
  auto value = static_cast<std::uint32_t>(number);
  unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  return registry.WriteValue(bytes, REG_DWORD, sizeof bytes, HKEY_CURRENT_USER, kSettingsWriteKey,
                             name);
}

}  // namespace

bool ReadSavedSettings(CCommSettings& settings, CRegistryAccess& registry, std::string* problem) {
  // The values come from one read of the file.
  const CSettingsReadScope oneRead;
  if (problem != nullptr) {
    auto storeProblem = registry.StoreProblem();
    *problem = storeProblem ? storeProblem->text : std::string();
  }
  settings.connection = ReadText(registry, "Connection", "");
  if (settings.connection.empty()) return false;
  settings.comPort = ReadNumber(registry, "ComPort", 1);
  settings.baudRate = ReadNumber(registry, "BaudRate", 9600);
  settings.byteSize = ReadNumber(registry, "ByteSize", 7);
  settings.parity = ReadText(registry, "Parity", "even");
  settings.stopBits = ReadNumber(registry, "StopBits", 1);
  // Only the network type has these; a store saved for another type (or
  // before the type existed) leaves them as they were.
  if (settings.connection == kConnectionNetwork) {
    settings.host = ReadText(registry, "Host", "");
    settings.tcpPort = ReadNumber(registry, "TcpPort", 0);
    settings.tcpProtocol = ReadText(registry, "TcpProtocol", kTcpProtocolRaw);
  }
  return true;
}

std::optional<CSettingsProblem> SaveCommSettings(CCommSettings& settings,
                                                 CRegistryAccess& registry) {
  std::optional<CSettingsProblem> firstProblem;
  // Every value is still tried after a failed one, as each is its own write.
  auto note = [&](bool written) {
    if (!written && !firstProblem) firstProblem = registry.LastWriteProblem();
  };
  note(WriteText(registry, "Protocol", settings.protocol));
  note(WriteText(registry, "Connection", settings.connection));
  if (settings.comPort < 1) settings.comPort = 1;
  note(WriteNumber(registry, "ComPort", settings.comPort));
  note(WriteNumber(registry, "BaudRate", settings.baudRate));
  note(WriteNumber(registry, "ByteSize", settings.byteSize));
  note(WriteText(registry, "Parity", settings.parity));
  note(WriteNumber(registry, "StopBits", settings.stopBits));
  if (settings.connection == kConnectionNetwork) {
    note(WriteText(registry, "Host", settings.host));
    note(WriteNumber(registry, "TcpPort", settings.tcpPort));
    note(WriteText(registry, "TcpProtocol", settings.tcpProtocol));
  }
  return firstProblem;
}
