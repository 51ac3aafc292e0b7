#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The settings store's file format: the registry editor's export format
// ("Windows Registry Editor Version 5.00"), which a person can read and edit
// and which keeps every value's type and exact bytes.
//
//   [HKEY_CURRENT_USER\Software\Norvane\Ravelle]
//   "Connection"="serial port - betabrite classic"
//   "ComPort"=dword:00000001
//   "Parity"=hex(1):20,00
//
// A value is written as "text" only when it is a REG_SZ whose bytes are
// printable ASCII followed by exactly one zero byte; a four-byte REG_DWORD as
// dword:; everything else as a hex byte list with its type, so nothing is
// lost or re-encoded on the way through the file.

struct CRegValue {
  std::string name;  // "" is the key's default value, written as @
  std::uint32_t type = 0;
  std::vector<unsigned char> data;
};

struct CRegKey {
  std::string path;  // full path from the root, no trailing backslash
  std::vector<CRegValue> values;
};

// Keys and value names compare without regard to ASCII letter case, as the
// registry does; the spelling first written is kept.
class CRegHive {
 public:
  const CRegKey* FindKey(std::string_view path) const;
  const CRegValue* FindValue(std::string_view path, std::string_view name) const;
  // Finds the key, or makes it (without values) when it is not there.
  CRegKey& CreateKey(std::string_view path);
  // Creates the key when needed and replaces a value of the same name.
  void SetValue(std::string_view path, CRegValue value);

  const std::vector<CRegKey>& Keys() const { return keys_; }

 private:
  std::vector<CRegKey> keys_;
};

// Drops trailing backslashes: "A\B\" and "A\B" name the same key. Returns
// nothing for a path a key cannot have (an empty component, a character
// outside printable ASCII, a bracket).
std::optional<std::string> NormaliseKeyPath(std::string_view path);

// Names that can stand between quotes in the file: printable ASCII.
bool IsStorableValueName(std::string_view name);

std::string FormatRegExport(const CRegHive& hive);

// Where and why a text is not a well-formed export. line counts from 1; a
// value continued over several lines is reported at its first line.
struct CRegParseError {
  std::size_t line = 0;
  std::string what;
};

// Nothing when the text is not a well-formed export: the caller must then
// treat the store as unreadable rather than as empty, and error (when
// given) says where the first fault is.
std::optional<CRegHive> ParseRegExport(std::string_view text, CRegParseError* error = nullptr);
