#include "tools/signsim/LineSettings.h"

namespace {

struct CSpeed {
  speed_t code;
  const char* text;
};

constexpr CSpeed kSpeeds[] = {
    {B0, "0"},           {B50, "50"},         {B75, "75"},         {B110, "110"},
    {B134, "134"},       {B150, "150"},       {B200, "200"},       {B300, "300"},
    {B600, "600"},       {B1200, "1200"},     {B1800, "1800"},     {B2400, "2400"},
    {B4800, "4800"},     {B9600, "9600"},     {B19200, "19200"},   {B38400, "38400"},
    {B57600, "57600"},   {B115200, "115200"}, {B230400, "230400"}, {B460800, "460800"},
    {B500000, "500000"}, {B576000, "576000"}, {B921600, "921600"},
};

std::string SpeedText(speed_t code, std::uint32_t typedBaud) {
  for (const CSpeed& speed : kSpeeds) {
    if (speed.code == code) return speed.text;
  }
  if (typedBaud != 0) return std::to_string(typedBaud);
  return "speed code " + std::to_string(code);
}

}  // namespace

std::string DescribeLineSettings(const termios& settings, std::uint32_t typedBaud) {
  std::string text = SpeedText(cfgetospeed(&settings), typedBaud) + " baud, ";
  text += (settings.c_cflag & CSTOPB) != 0 ? "2 stop bits" : "1 stop bit";
  const bool hardware = (settings.c_cflag & CRTSCTS) != 0;
  const bool software = (settings.c_iflag & (IXON | IXOFF)) != 0;
  text += ", flow ";
  if (hardware && software) {
    text += "rts/cts+xon/xoff";
  } else if (hardware) {
    text += "rts/cts";
  } else if (software) {
    text += "xon/xoff";
  } else {
    text += "none";
  }
  return text + " (data bits and parity not visible on a pseudo-terminal)";
}
