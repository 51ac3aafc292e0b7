#include <iterator>
#include <string>

#include "sign/SignText.h"

char ColorCode(const std::string& colourName) {
  static const char* const kNames[] = {"Red",       "Green", "Amber",  "Dim Red",
                                       "Dim Green", "Brown", "Orange", "Yellow"};
  for (std::size_t i = 0; i < std::size(kNames); ++i) {
    if (colourName == kNames[i]) return static_cast<char>('1' + i);
  }
  return '1';
}
