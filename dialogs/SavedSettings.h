#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dialogs/SettingsStore.h"

class CRavelleDoc;
class CRegistryAccess;

// The form's start-up read of the connection settings, from one read of the
// store. Reads "Connection"; when it is missing, unreadable or empty the
// document's connection becomes "" and false is returned (the caller then
// opens the settings dialog). Otherwise reads the other five values, each
// falling back to its default when it is missing or stored with another
// type, and returns true. protocol is never read. problem (when given) is
// set to why the store cannot be read, and emptied when it can: a caller
// that must not take an unreadable store for "nothing saved" looks there.
bool ReadSavedSettings(CRavelleDoc& doc, CRegistryAccess& registry, std::string* problem = nullptr);

// The seven connection values as the settings dialog holds them.
struct CCommSettings {
  std::string protocol;
  std::string connection;
  std::int32_t comPort = 0;
  std::int32_t baudRate = 0;
  std::int32_t byteSize = 0;
  std::string parity;
  std::int32_t stopBits = 0;
};

// The dialog's save button: the seven values in order, each by its own
// write; a comPort below 1 becomes 1 in settings first. Returns why the
// first write that failed did not happen, nothing when every value was
// stored.
std::optional<CSettingsProblem> SaveCommSettings(CCommSettings& settings,
                                                 CRegistryAccess& registry);
