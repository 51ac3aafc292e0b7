#include "tools/cli/win32/ConsoleText.h"

#include <windows.h>

std::string Utf8FromUtf16(const std::wstring& text) {
  if (text.empty()) return {};
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string converted(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(),
                      size, nullptr, nullptr);
  return converted;
}

std::vector<std::string> Utf8Arguments(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8FromUtf16(argv[i]));
  return args;
}

// GetConsoleCP gives 0 without a console; nothing is changed then.
CUtf8Console::CUtf8Console()
    : inputCodePage_(GetConsoleCP()), outputCodePage_(GetConsoleOutputCP()) {
  if (inputCodePage_ != 0) SetConsoleCP(CP_UTF8);
  if (outputCodePage_ != 0) SetConsoleOutputCP(CP_UTF8);
}

CUtf8Console::~CUtf8Console() {
  if (inputCodePage_ != 0) SetConsoleCP(inputCodePage_);
  if (outputCodePage_ != 0) SetConsoleOutputCP(outputCodePage_);
}
