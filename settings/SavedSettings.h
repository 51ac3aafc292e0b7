#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "settings/CommSettings.h"
#include "settings/SettingsStore.h"

class CRegistryAccess;

// The form's start-up read of the connection settings, from one read of the
// store. Reads "Connection"; when it is missing, unreadable or empty the
// settings' connection becomes "" and false is returned (the caller then
// opens the settings dialog). Otherwise reads the other five values, each
// falling back to its default when it is missing or stored with another
// type, and returns true; for the network connection type "Host", "TcpPort"
// and "TcpProtocol" as well (defaults: no host, port 0, raw). protocol is
// never read. problem (when given) is
// set to why the store cannot be read, and emptied when it can: a caller
// that must not take an unreadable store for "nothing saved" looks there.
bool ReadSavedSettings(CCommSettings& settings, CRegistryAccess& registry,
                       std::string* problem = nullptr);

// The dialog's save button: the seven values in order, each by its own
// write, then for the network connection type "Host", "TcpPort" and
// "TcpProtocol"; a comPort below 1 becomes 1 in settings first. Returns why the
// first write that failed did not happen, nothing when every value was
// stored.
std::optional<CSettingsProblem> SaveCommSettings(CCommSettings& settings,
                                                 CRegistryAccess& registry);
