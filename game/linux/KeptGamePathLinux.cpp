#include <cstdlib>

#include "game/KeptGame.h"
#include "settings/WholeFile.h"

std::optional<std::filesystem::path> UserKeptGamePath() {
  std::filesystem::path stateHome;
  const char* xdg = std::getenv("XDG_STATE_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    stateHome = xdg;
  } else {
    auto home = UserHomeDirectory();
    if (!home) return std::nullopt;
    stateHome = *home / ".local" / "state";
  }
  return stateHome / "ravelle" / "game";
}
