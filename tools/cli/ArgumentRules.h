#pragma once

#include <optional>
#include <string>

// The checks that the command line and the session apply to their words.
// Each returns an empty string when the word is good, else the reason.

// One of the eight colour names, exactly as the sign's colour list spells
// them ("Dim Red" is one word).
std::string CheckColorName(const std::string& word);

// "Normal" or "Giant".
std::string CheckNoteSize(const std::string& word);

// An abbreviation (UTF-8) whose every character the sign shows; the form's
// boxes refuse any other.
std::string CheckAbbreviation(const std::string& word);

// A decimal integer: an optional minus sign and digits, nothing else.
std::optional<int> ParseInteger(const std::string& word);

// A score the form can hold: 0 to 999. Sets score when the word is good.
std::string CheckScore(const std::string& word, int& score);
