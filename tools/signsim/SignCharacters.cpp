#include "tools/signsim/SignCharacters.h"

#include "sign/CharTable.h"
#include "sign/Windows1252.h"

CSignCharacters::CSignCharacters() {
  const CharTable table;
  for (int i = 0; i < CharTable::kExtendedCount; ++i) {
    const CharTable::Entry& entry = table.At(i);
    if (entry.protocolCode < 0 || entry.protocolCode > 0xFF || entry.windowsCode == 0) continue;
    const std::string windows(1, static_cast<char>(entry.windowsCode));
    extended_[static_cast<std::size_t>(entry.protocolCode)] = Windows1252ToUtf8(windows);
  }
}
