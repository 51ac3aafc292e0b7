#include "link/TermiosMapping.h"

#include <cerrno>
#include <iterator>

namespace {

struct SpeedRow {
  std::uint32_t baud;
  speed_t speed;
};

constexpr SpeedRow kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

constexpr tcflag_t kFramingFlags = CSIZE | PARENB | PARODD | CMSPAR;
constexpr tcflag_t kComparedControlFlags = kFramingFlags | CSTOPB | CRTSCTS | CLOCAL | CREAD;
constexpr tcflag_t kComparedInputFlags = IXON | IXOFF | INPCK | ICRNL | ISTRIP;
constexpr tcflag_t kComparedLocalFlags = ICANON | ECHO | ISIG | IEXTEN;

}  // namespace

speed_t SpeedForBaudRate(std::uint32_t baudRate) {
  for (const SpeedRow& row : kSpeeds) {
    if (row.baud == baudRate) return row.speed;
  }
  return B0;
}

std::uint32_t BaudRateForSpeed(speed_t speed) {
  for (const SpeedRow& row : kSpeeds) {
    if (row.speed == speed) return row.baud;
  }
  return 0;
}

int DcbToTermios(const DCB& dcb, termios& tty) {
  speed_t speed = SpeedForBaudRate(dcb.BaudRate);
  if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > SPACEPARITY ||
      dcb.StopBits > TWOSTOPBITS || dcb.fDtrControl > DTR_CONTROL_HANDSHAKE ||
      dcb.fRtsControl > RTS_CONTROL_TOGGLE) {
    return EINVAL;
  }
  if (dcb.StopBits == ONE5STOPBITS || dcb.fOutxDsrFlow || dcb.fDsrSensitivity ||
      dcb.fDtrControl == DTR_CONTROL_HANDSHAKE || dcb.fRtsControl == RTS_CONTROL_TOGGLE) {
    return ENOTSUP;
  }

  // Raw mode: bytes pass unchanged both ways, no line editing, no signals.
  tty.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                   IXANY | INPCK | IUCLC | IMAXBEL);
  tty.c_oflag &= ~OPOST;
  tty.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tty.c_cflag |= CLOCAL | CREAD;

  static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
  tty.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  tty.c_cflag |= kSizes[dcb.ByteSize - 5];
  switch (dcb.Parity) {
    case ODDPARITY:
      tty.c_cflag |= PARENB | PARODD;
      break;
    case EVENPARITY:
      tty.c_cflag |= PARENB;
      break;
    case MARKPARITY:
      tty.c_cflag |= PARENB | CMSPAR | PARODD;
      break;
    case SPACEPARITY:
      tty.c_cflag |= PARENB | CMSPAR;
      break;
    default:
      break;
  }
  if (dcb.StopBits == TWOSTOPBITS) tty.c_cflag |= CSTOPB;
  // A tty has one flag for both directions of the RTS/CTS handshake. Only
  // the settings' own CTS flow sets it: an RTS handshake read back from a
  // port that another program left with it must not keep output waiting on
  // a CTS line nobody may have wired.
  if (dcb.fOutxCtsFlow) tty.c_cflag |= CRTSCTS;
  if (dcb.fParity) tty.c_iflag |= INPCK;
  if (dcb.fOutX) tty.c_iflag |= IXON;
  if (dcb.fInX) tty.c_iflag |= IXOFF;
  tty.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
  tty.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
  // A rate outside the table keeps the tty's speed here; the port layer
  // sets it apart (SetLineSpeed).
  if (speed != B0) {
    cfsetispeed(&tty, speed);
    cfsetospeed(&tty, speed);
  }
  return 0;
}

void TermiosToDcb(const termios& tty, DCB& dcb) {
  dcb.BaudRate = BaudRateForSpeed(cfgetospeed(&tty));
  switch (tty.c_cflag & CSIZE) {
    case CS5:
      dcb.ByteSize = 5;
      break;
    case CS6:
      dcb.ByteSize = 6;
      break;
    case CS7:
      dcb.ByteSize = 7;
      break;
    default:
      dcb.ByteSize = 8;
      break;
  }
  if (!(tty.c_cflag & PARENB)) {
    dcb.Parity = NOPARITY;
  } else if (tty.c_cflag & CMSPAR) {
    dcb.Parity = (tty.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
  } else {
    dcb.Parity = (tty.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
  }
  dcb.StopBits = (tty.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
  dcb.fParity = (tty.c_iflag & INPCK) != 0;
  dcb.fOutxCtsFlow = (tty.c_cflag & CRTSCTS) != 0;
  dcb.fOutxDsrFlow = false;
  dcb.fDsrSensitivity = false;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = (tty.c_cflag & CRTSCTS) ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
  dcb.fOutX = (tty.c_iflag & IXON) != 0;
  dcb.fInX = (tty.c_iflag & IXOFF) != 0;
  dcb.XonChar = static_cast<char>(tty.c_cc[VSTART]);
  dcb.XoffChar = static_cast<char>(tty.c_cc[VSTOP]);
  dcb.XonLim = 0;
  dcb.XoffLim = 0;
}

bool TermiosApplied(const termios& wanted, const termios& applied, bool framingFixed) {
  tcflag_t control =
      framingFixed ? (kComparedControlFlags & ~kFramingFlags) : kComparedControlFlags;
  return cfgetospeed(&wanted) == cfgetospeed(&applied) &&
         cfgetispeed(&wanted) == cfgetispeed(&applied) &&
         (wanted.c_cflag & control) == (applied.c_cflag & control) &&
         (wanted.c_iflag & kComparedInputFlags) == (applied.c_iflag & kComparedInputFlags) &&
         (wanted.c_lflag & kComparedLocalFlags) == (applied.c_lflag & kComparedLocalFlags) &&
         (wanted.c_oflag & OPOST) == (applied.c_oflag & OPOST) &&
         wanted.c_cc[VMIN] == applied.c_cc[VMIN] && wanted.c_cc[VTIME] == applied.c_cc[VTIME] &&
         wanted.c_cc[VSTART] == applied.c_cc[VSTART] && wanted.c_cc[VSTOP] == applied.c_cc[VSTOP];
}
