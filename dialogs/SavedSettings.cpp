#include "dialogs/SavedSettings.h"

#include <array>
#include <cstring>

#include "dialogs/RegistryAccess.h"
#include "game/RavelleDoc.h"

namespace {

// Strings are read into a zero-filled 1000-byte buffer, so a stored text of
// up to 999 characters comes back terminated and a longer one fails to read.
constexpr std::uint32_t kTextBufferSize = 1000;

std::string ReadText(CRegistryAccess& registry, const char* name, const char* fallback) {
  std::array<char, kTextBufferSize> buffer{};
  std::strcpy(buffer.data(), fallback);
  if (!registry.ReadValue(buffer.data(), nullptr, kTextBufferSize, HKEY_CURRENT_USER, kSettingsKey,
                          name)) {
    buffer.fill(0);
    std::strcpy(buffer.data(), fallback);
  }
  // A stored text without its zero still ends inside the buffer.
  buffer.back() = 0;
  return buffer.data();
}

// The number's bytes are read over its default, little-endian. As with the
// registry, the stored type is not checked: a shorter value replaces only
// the low bytes.
int ReadNumber(CRegistryAccess& registry, const char* name, std::int32_t fallback) {
  auto value = static_cast<std::uint32_t>(fallback);
  unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  if (!registry.ReadValue(bytes, nullptr, sizeof bytes, HKEY_CURRENT_USER, kSettingsKey, name)) {
    return fallback;
  }
  value =
      bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
  return static_cast<std::int32_t>(value);
}

void WriteText(CRegistryAccess& registry, const char* name, const std::string& text) {
  // Formatted through a 1000-byte buffer: a longer text is cut to 999.
  std::string stored = text.substr(0, kTextBufferSize - 1);
  stored = stored.c_str();
  registry.WriteValue(stored.c_str(), REG_SZ, static_cast<std::uint32_t>(stored.size() + 1),
                      HKEY_CURRENT_USER, kSettingsWriteKey, name);
}

void WriteNumber(CRegistryAccess& registry, const char* name, std::int32_t number) {
  auto value = static_cast<std::uint32_t>(number);
  unsigned char bytes[4] = {
      static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
      static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
  registry.WriteValue(bytes, REG_DWORD, sizeof bytes, HKEY_CURRENT_USER, kSettingsWriteKey, name);
}

}  // namespace

bool ReadSavedSettings(CRavelleDoc& doc, CRegistryAccess& registry) {
  doc.connection = ReadText(registry, "Connection", "");
  if (doc.connection.empty()) return false;
  doc.comPort = ReadNumber(registry, "ComPort", 1);
  doc.baudRate = ReadNumber(registry, "BaudRate", 9600);
  doc.byteSize = ReadNumber(registry, "ByteSize", 7);
  doc.parity = ReadText(registry, "Parity", "even");
  doc.stopBits = ReadNumber(registry, "StopBits", 1);
  return true;
}

void SaveCommSettings(CCommSettings& settings, CRegistryAccess& registry) {
  WriteText(registry, "Protocol", settings.protocol);
  WriteText(registry, "Connection", settings.connection);
  if (settings.comPort < 1) settings.comPort = 1;
  WriteNumber(registry, "ComPort", settings.comPort);
  WriteNumber(registry, "BaudRate", settings.baudRate);
  WriteNumber(registry, "ByteSize", settings.byteSize);
  WriteText(registry, "Parity", settings.parity);
  WriteNumber(registry, "StopBits", settings.stopBits);
}
