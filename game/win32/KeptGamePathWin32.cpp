#include <cstdlib>

#include "game/KeptGame.h"

std::optional<std::filesystem::path> UserKeptGamePath() {
  const wchar_t* localAppData = _wgetenv(L"LOCALAPPDATA");
  if (localAppData == nullptr || localAppData[0] == L'\0') return std::nullopt;
  return std::filesystem::path(localAppData) / L"Ravelle" / L"game";
}
