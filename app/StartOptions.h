#pragma once

#include <ostream>

// What the desktop program's command line asks for before any window opens.
// Everything else on the line (Qt's own -platform, -style, ...) is left to
// Qt, so only these two words are taken.
enum class CStartRequest { RunProgram, PrintVersion, PrintHelp };

CStartRequest StartRequestFromArguments(int argc, const char* const* argv);

// Prints what PrintVersion or PrintHelp asks for; the program then ends with
// status 0 without touching the display or a port.
void PrintStartInformation(CStartRequest request, std::ostream& out);
