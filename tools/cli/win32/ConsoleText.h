#pragma once

#include <string>
#include <vector>

// Text at the edges of ravelle-cli on Windows. Inside, every text is UTF-8
// (and becomes Windows-1252 for the sign); Windows hands a program its
// arguments in UTF-16 and shows console output in the console's code page.

// The arguments after the program name, each turned from UTF-16 into UTF-8
// (an unpaired surrogate becomes U+FFFD).
std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv);
std::string Utf8FromUtf16(const std::wstring& text);

// While one lives, the console reads and shows UTF-8, so cmd and PowerShell
// show every character the program prints; the console's own code pages
// come back when it goes. Output to a file or pipe is UTF-8 either way.
class CUtf8Console {
 public:
  CUtf8Console();
  ~CUtf8Console();
  CUtf8Console(const CUtf8Console&) = delete;
  CUtf8Console& operator=(const CUtf8Console&) = delete;

 private:
  unsigned inputCodePage_;
  unsigned outputCodePage_;
};
