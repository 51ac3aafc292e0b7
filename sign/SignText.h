#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Operator text (Windows-1252 bytes) to sign bytes: printable ASCII passes,
// extended characters become 08 + the sign's code, numeric references
// "&#65;" are resolved, and what the sign cannot show is dropped.
// Works on text of any length; the result is at most twice as long.
// Returns how many characters were dropped, so the operator can be told.
int EncodeSignText(std::string& text);

// Whether a typed Windows-1252 character reaches the sign as something it
// shows: printable ASCII, or a character of the sign's extended set.
bool SignCanShow(unsigned char windowsByte);

// Whether the sign shows every character of UTF-8 text: each must be in
// Windows-1252 and in the sign's set. Abbreviations are taken only so, as a
// character left out would vanish from the scoreboard.
bool SignCanShowAll(std::string_view utf8);

// How many characters the sign shows for the first length bytes of encoded
// sign text (08 and its code are one character).
int SignCharacterCount(const std::string& encoded, std::size_t length);

// Folds every run of blanks, tabs, carriage returns and line feeds into one
// blank. Nothing is trimmed.
void CollapseWhitespace(std::string& text);

// "Red" .. "Yellow" to the protocol's colour digit '1' .. '8'; exact,
// case-sensitive names, anything else gives '1'.
char ColorCode(const std::string& colourName);
