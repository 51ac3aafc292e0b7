#include "dialogs/DialogBox.h"

#include <algorithm>
#include <climits>

namespace {

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

const std::string* FindEntryByPrefix(const std::vector<std::string>& entries,
                                     std::string_view prefix) {
  if (prefix.empty()) return nullptr;
  for (const std::string& entry : entries) {
    if (entry.size() >= prefix.size() &&
        std::equal(prefix.begin(), prefix.end(), entry.begin(),
                   [](char a, char b) { return FoldCase(a) == FoldCase(b); })) {
      return &entry;
    }
  }
  return nullptr;
}

int IntegerValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL + INT_MAX);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}
