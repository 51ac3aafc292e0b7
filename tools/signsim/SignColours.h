#pragma once

#include <cstdint>

// The sign's colour selections (1C + code): the name used in the text
// markup and the colour the window draws lit dots in.
struct CSignColour {
  char code;
  const char* name;
  std::uint32_t rgb;
};

// Null for a code the sign does not know.
const CSignColour* FindSignColour(char code);

// What text is drawn in before any colour selection.
const CSignColour& DefaultSignColour();
