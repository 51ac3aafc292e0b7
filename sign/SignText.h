#pragma once

#include <string>

// Operator text (Windows-1252 bytes) to sign bytes: printable ASCII passes,
// extended characters become 08 + the sign's code, numeric references
// "&#65;" are resolved, and what the sign cannot show is dropped.
// Works on text of any length; the result is at most twice as long.
void EncodeSignText(std::string& text);

// Folds every run of blanks, tabs, carriage returns and line feeds into one
// blank. Nothing is trimmed.
void CollapseWhitespace(std::string& text);

// "Red" .. "Yellow" to the protocol's colour digit '1' .. '8'; exact,
// case-sensitive names, anything else gives '1'.
char ColorCode(const std::string& colourName);
