#pragma once

#include <termios.h>

#include "link/SerialRecords.h"

// How a DCB's fields become a tty's settings, and back. The tty is always
// in raw (binary) mode with CLOCAL|CREAD; the DCB decides speed, data bits,
// parity (mark and space through CMSPAR), stop bits, RTS/CTS handshaking,
// XON/XOFF and their characters, and input parity checking (fParity).
// DTR and RTS levels are modem lines, not termios fields: the port layer
// sets them. XonLim and XoffLim have no tty counterpart; the kernel keeps
// its own thresholds, so they are ignored and read back as 0. Nothing is
// rounded to a near setting.

// Fills tty from dcb, keeping tty's other fields. Returns 0, EINVAL for a
// value no tty has (baud rate 0, data bits outside 5..8, parity or stop-bit
// codes out of range) or ENOTSUP for what Linux cannot do (1.5 stop bits,
// DSR or DTR handshaking, DSR sensitivity, RTS toggling). A baud rate
// outside the termios table leaves tty's speed as it was: the port layer
// sets such a rate itself. CRTSCTS follows fOutxCtsFlow alone; an RTS
// handshake without CTS flow leaves the RTS line as it is.
int DcbToTermios(const DCB& dcb, termios& tty);

// The DCB fields a tty's settings stand for. fDtrControl reads as enabled
// and fRtsControl as enabled or handshaking; the port layer corrects both
// from the modem lines where it can see them.
void TermiosToDcb(const termios& tty, DCB& dcb);

// Whether the tty holds the settings that were asked for. A pseudo-terminal
// keeps eight data bits without parity whatever it is told; pass
// framingFixed to leave data bits and parity out of the comparison.
bool TermiosApplied(const termios& wanted, const termios& applied, bool framingFixed);

// The termios speed for a baud rate, or B0 when the table has none.
speed_t SpeedForBaudRate(std::uint32_t baudRate);
// The baud rate of a termios speed, or 0 when it is not known.
std::uint32_t BaudRateForSpeed(speed_t speed);
