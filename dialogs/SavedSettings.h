#pragma once

#include <cstdint>
#include <string>

class CRavelleDoc;
class CRegistryAccess;

// The form's start-up read of the connection settings. Reads "Connection";
// when it is missing, unreadable or empty the document's connection becomes
// "" and false is returned (the caller then opens the settings dialog).
// Otherwise reads the other five values, each falling back to its default,
// and returns true. protocol is never read.
bool ReadSavedSettings(CRavelleDoc& doc, CRegistryAccess& registry);

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
// write; a comPort below 1 becomes 1 in settings first. Results are not
// examined.
void SaveCommSettings(CCommSettings& settings, CRegistryAccess& registry);
