#pragma once

#include <termios.h>

#include <cstdint>
#include <string>

// The serial line settings a sender applied, as far as a pseudo-terminal
// shows them: "9600 baud, 1 stop bit, flow none (data bits and parity not
// visible on a pseudo-terminal)". Linux forces eight data bits and no parity into a
// pseudo-terminal's settings, so what the sender asked for there cannot be
// seen and is never reported; the speed, the stop bits and the flow control
// (none, rts/cts, xon/xoff or rts/cts+xon/xoff) are kept as set. A typed
// rate outside the termios table is given as typedBaud (the tty's termios2
// speed); without it such a speed reads "speed code N".
std::string DescribeLineSettings(const termios& settings, std::uint32_t typedBaud = 0);
