#include "sign/Windows1252.h"

#include <cstdint>

namespace {

// Unicode code points of the bytes 80 to 9F; 0 where the code page has none.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       //
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

int Windows1252ByteFor(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == cp) return 0x80 + i;
  }
  return -1;
}

std::string Utf8ToWindows1252(std::string_view utf8, int* droppedCount) {
  std::string out;
  out.reserve(utf8.size());
  int dropped = 0;
  std::size_t i = 0;
  while (i < utf8.size()) {
    auto lead = static_cast<std::uint8_t>(utf8[i]);
    int extra = lead < 0x80           ? 0
                : (lead >> 5) == 0x6  ? 1
                : (lead >> 4) == 0xE  ? 2
                : (lead >> 3) == 0x1E ? 3
                                      : -1;
    if (extra < 0 || i + extra >= utf8.size()) {
      // A stray continuation byte, an invalid lead byte or a sequence cut off
      // by the end of the text.
      ++dropped;
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? lead : (lead & (0x3F >> extra));
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      auto next = static_cast<std::uint8_t>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms and surrogates are malformed too.
    constexpr char32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (!valid || cp < kSmallest[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
      ++dropped;
      ++i;
      continue;
    }
    i += extra + 1;
    int byte = Windows1252ByteFor(cp);
    if (byte < 0) {
      ++dropped;
      continue;
    }
    out += static_cast<char>(byte);
  }
  if (droppedCount != nullptr) *droppedCount = dropped;
  return out;
}

std::string Windows1252ToUtf8(std::string_view windows1252) {
  std::string out;
  out.reserve(windows1252.size() * 2);
  for (char c : windows1252) {
    auto byte = static_cast<std::uint8_t>(c);
    char32_t cp = byte;
    if (byte >= 0x80 && byte < 0xA0) {
      cp = kHighControls[byte - 0x80];
      if (cp == 0) cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}
