// Any text through the kept game's reader: nothing may crash, leak or read
// out of bounds. A text it takes is a whole game that formats to a text it
// takes again as the same game, formatted the same; a text it refuses says
// why.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "game/KeptGame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string problem;
  const auto game = ParseKeptGame(text, &problem);
  if (!game) {
    if (problem.empty()) std::abort();
    return 0;
  }
  const std::string formatted = FormatKeptGame(*game);
  const auto again = ParseKeptGame(formatted);
  if (!again || again->fields != game->fields || again->showing != game->showing ||
      !(again->shownNote == game->shownNote) || FormatKeptGame(*again) != formatted)
    std::abort();
  return 0;
}
