#include "tools/cli/ArgumentRules.h"

#include <array>
#include <charconv>

#include "sign/SignText.h"

namespace {

constexpr std::array<const char*, 8> kColorNames = {"Red",       "Green", "Amber",  "Dim Red",
                                                    "Dim Green", "Brown", "Orange", "Yellow"};

std::string Quoted(const std::string& word) { return "\"" + word + "\""; }

}  // namespace

std::string CheckColorName(const std::string& word) {
  std::string names;
  for (const char* name : kColorNames) {
    if (word == name) return "";
    names += names.empty() ? "" : ", ";
    names += name;
  }
  return "unknown colour " + Quoted(word) + " (one of " + names + ")";
}

std::string CheckNoteSize(const std::string& word) {
  if (word == "Normal" || word == "Giant") return "";
  return "unknown size " + Quoted(word) + " (Normal or Giant)";
}

std::string CheckAbbreviation(const std::string& word) {
  return SignCanShowAll(word) ? "" : Quoted(word) + " has a character the sign cannot show";
}

std::optional<int> ParseInteger(const std::string& word) {
  const char* first = word.data();
  const char* last = word.data() + word.size();
  int value = 0;
  auto [end, error] = std::from_chars(first, last, value);
  if (first == last || error != std::errc() || end != last) return std::nullopt;
  return value;
}

std::string CheckScore(const std::string& word, int& score) {
  std::optional<int> value = ParseInteger(word);
  if (!value) return "score " + Quoted(word) + " is not a number";
  if (*value < 0 || *value > 999) return "score " + Quoted(word) + " is outside 0-999";
  score = *value;
  return "";
}
