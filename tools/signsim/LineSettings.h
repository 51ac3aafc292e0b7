#pragma once

#include <termios.h>

#include <string>

// The serial line settings a sender applied, as the virtual sign reports
// them: "9600 7E1 flow none" (speed, data bits, parity N/E/O, stop bits, and
// flow control none, rts/cts, xon/xoff or rts/cts+xon/xoff).
std::string DescribeLineSettings(const termios& settings);
