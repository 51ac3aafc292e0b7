#pragma once

#include <cstdint>

// Records shaped like the Windows communications records, holding the
// fields the sign link works with. The port layer maps each field to its
// effect on a Linux tty (see TermiosMapping.h).

// Parity values of DCB::Parity.
inline constexpr std::uint8_t NOPARITY = 0;
inline constexpr std::uint8_t ODDPARITY = 1;
inline constexpr std::uint8_t EVENPARITY = 2;
inline constexpr std::uint8_t MARKPARITY = 3;
inline constexpr std::uint8_t SPACEPARITY = 4;

// Stop-bit values of DCB::StopBits.
inline constexpr std::uint8_t ONESTOPBIT = 0;
inline constexpr std::uint8_t ONE5STOPBITS = 1;
inline constexpr std::uint8_t TWOSTOPBITS = 2;

// DCB::fDtrControl and DCB::fRtsControl.
inline constexpr std::uint8_t DTR_CONTROL_DISABLE = 0;
inline constexpr std::uint8_t DTR_CONTROL_ENABLE = 1;
inline constexpr std::uint8_t DTR_CONTROL_HANDSHAKE = 2;
inline constexpr std::uint8_t RTS_CONTROL_DISABLE = 0;
inline constexpr std::uint8_t RTS_CONTROL_ENABLE = 1;
inline constexpr std::uint8_t RTS_CONTROL_HANDSHAKE = 2;
inline constexpr std::uint8_t RTS_CONTROL_TOGGLE = 3;

// Purge flags.
inline constexpr std::uint32_t PURGE_TXABORT = 0x0001;
inline constexpr std::uint32_t PURGE_RXABORT = 0x0002;
inline constexpr std::uint32_t PURGE_TXCLEAR = 0x0004;
inline constexpr std::uint32_t PURGE_RXCLEAR = 0x0008;

// Event mask bit: the output queue has run empty.
inline constexpr std::uint32_t EV_TXEMPTY = 0x0004;

// Modem status bits.
inline constexpr std::uint32_t MS_CTS_ON = 0x0010;
inline constexpr std::uint32_t MS_DSR_ON = 0x0020;
inline constexpr std::uint32_t MS_RING_ON = 0x0040;
inline constexpr std::uint32_t MS_RLSD_ON = 0x0080;

// Line error flags.
inline constexpr std::uint32_t CE_RXOVER = 0x0001;
inline constexpr std::uint32_t CE_OVERRUN = 0x0002;
inline constexpr std::uint32_t CE_RXPARITY = 0x0004;
inline constexpr std::uint32_t CE_FRAME = 0x0008;
inline constexpr std::uint32_t CE_BREAK = 0x0010;

// COMSTAT::flags: output held back because CTS is off.
inline constexpr std::uint32_t COMSTAT_CTS_HOLD = 0x0001;

inline constexpr std::uint32_t MAXDWORD = 0xFFFFFFFF;

// Line settings and flow control.
struct DCB {
  std::uint32_t BaudRate = 0;
  bool fParity = false;  // check parity on input
  bool fOutxCtsFlow = false;
  bool fOutxDsrFlow = false;
  std::uint8_t fDtrControl = DTR_CONTROL_ENABLE;
  bool fDsrSensitivity = false;
  bool fOutX = false;  // XON/XOFF on output
  bool fInX = false;   // XON/XOFF on input
  std::uint8_t fRtsControl = RTS_CONTROL_ENABLE;
  std::uint16_t XonLim = 0;
  std::uint16_t XoffLim = 0;
  std::uint8_t ByteSize = 8;
  std::uint8_t Parity = NOPARITY;
  std::uint8_t StopBits = ONESTOPBIT;
  char XonChar = 0x11;
  char XoffChar = 0x13;
};

// A port's configuration: its DCB and the kind of device.
struct COMMCONFIG {
  std::uint32_t dwSize = sizeof(COMMCONFIG);
  std::uint16_t wVersion = 1;
  DCB dcb;
  std::uint32_t dwProviderSubType = 1;  // an RS-232 port
};

struct COMMTIMEOUTS {
  std::uint32_t ReadIntervalTimeout = 0;
  std::uint32_t ReadTotalTimeoutMultiplier = 0;
  std::uint32_t ReadTotalTimeoutConstant = 0;
  std::uint32_t WriteTotalTimeoutMultiplier = 0;
  std::uint32_t WriteTotalTimeoutConstant = 0;
};

struct COMSTAT {
  std::uint32_t flags = 0;
  std::uint32_t cbInQue = 0;
  std::uint32_t cbOutQue = 0;
};
