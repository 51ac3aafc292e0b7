#pragma once

#include <array>
#include <cstdint>
#include <string>

// The characters the sign shows for 08 + code, from the program's own
// character table, in UTF-8. Codes whose table row has no Windows-1252
// character, and codes the table lacks, have no text here: the display shows
// them as placeholders.
class CSignCharacters {
 public:
  CSignCharacters();

  // Empty when the code has no known character.
  const std::string& Extended(std::uint8_t code) const { return extended_[code]; }

 private:
  std::array<std::string, 256> extended_;
};
