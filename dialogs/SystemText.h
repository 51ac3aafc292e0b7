#pragma once

#include <string>

// A text the system gave (a file name, the description of an error) as the
// message boxes take it: Windows-1252. Linux's texts are UTF-8; Windows's
// are in its ANSI code page already, Windows-1252 where the program is used.
std::string SystemTextToWindows1252(const std::string& text);
