#pragma once

#include <string>
#include <string_view>

// The document keeps operator text as Windows-1252 bytes; the desktop and the
// command line speak UTF-8. These two conversions are the only crossing.

// Characters that Windows-1252 lacks, and malformed UTF-8 sequences, are
// dropped; droppedCount (optional) tells how many.
std::string Utf8ToWindows1252(std::string_view utf8, int* droppedCount = nullptr);

// The Windows-1252 byte of a Unicode code point, or -1 when the code page
// lacks it.
int Windows1252ByteFor(char32_t codePoint);

// Every byte has a character, except the five unassigned bytes 81, 8D, 8F, 90
// and 9D, which become U+FFFD.
std::string Windows1252ToUtf8(std::string_view windows1252);
