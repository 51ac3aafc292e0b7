#pragma once

#include <termios.h>

#include <cstdint>
#include <string>

// The serial line settings a sender applied, as the virtual sign reports
// them: "9600 7E1 flow none" (speed, data bits, parity N/E/O, stop bits, and
// flow control none, rts/cts, xon/xoff or rts/cts+xon/xoff). A typed rate
// outside the termios table is given as typedBaud (the tty's termios2
// speed); without it such a speed reads "speed code N".
std::string DescribeLineSettings(const termios& settings, std::uint32_t typedBaud = 0);
