#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "link/UsbLibrary.h"
#include "sign/PacketSink.h"

class CEventPump;
class CMessageBoxSeam;
struct CCommSettings;
class CSerialException;
class CSerialPort;
class CViewStatus;

// Why the last send over the sign's serial line, at a local port or behind
// a device server, did not reach the sign.
struct CSendFailure {
  int comPort = 0;              // the port number used; 0 for a device server
  std::string device{};         // the device path it maps to, or the server's HOST:PORT
  unsigned long errorCode = 0;  // errno, or the last error on Windows
  // CSerialException::GetErrorMessage, after what the failure concerns when
  // the road named it ("the port refused the baud rate 12345: ...").
  std::string systemText{};
  bool deviceServer = false;

  // What the operator is told was not reached: "COM1 (/dev/ttyUSB0)" or
  // "device server 192.168.1.20:4001".
  std::string Where() const;
};

// The send-to-sign dispatcher: the single road by which every packet reaches
// the sign, over USB when the connection settings' connection is exactly
// "usb - betabrite prism", through a device server on the network when it is
// exactly "network - serial device server" (link/NetworkRoad.h), over the
// serial port otherwise. Each call opens the connection, writes the packet
// and closes it again.
//
// The serial and network roads reach the sign's serial line and show
// nothing to the operator; their last outcome is kept here (and reported to
// onSerialOutcome) so the form can show it quietly. The USB road reports its
// failures through the message-box seam.
class CSignLink : public CPacketSink {
 public:
  CSignLink(CCommSettings& settings, CViewStatus& view, CMessageBoxSeam& messages,
            CEventPump& pump);

  void SendToSign(int comPort, const unsigned char* bytes, int length) override;
  int SendViaUsb(const unsigned char* bytes, int length);

  // Empty after a serial or network send that got through, and once a send
  // goes over USB.
  const std::optional<CSendFailure>& LastSerialFailure() const { return lastSerialFailure_; }
  // SendViaUsb's result for the last USB send: greater than 0 when every
  // chunk was taken (or a message box said why not), 0 or less when the
  // packet did not reach the sign.
  int LastUsbResult() const { return lastUsbResult_; }
  // Called after every serial or network send, success or failure, and when
  // a USB send clears a standing failure of theirs.
  std::function<void()> onSerialOutcome;

  // Between these calls (one operator action) each USB message box shows
  // once, however many packets fail the same way. Outside them every
  // failure shows its box.
  void BeginAction();
  void EndAction();

  // The USB library is loaded by this name at every send: a plain name
  // through the system's library path first, so a replacement the user puts
  // there wins, then from the package's private folder.
  void SetUsbLibraryName(std::string name) { usbLibraryName_ = std::move(name); }
  void SetUsbLibraryFolder(std::string folder) { usbLibraryFolder_ = std::move(folder); }

  // Makes the port object of each serial send; tests put in one that
  // records the calls. By default a plain CSerialPort.
  using SerialPortFactory = std::function<std::unique_ptr<CSerialPort>()>;
  void SetSerialPortFactory(SerialPortFactory factory) { serialPortFactory_ = std::move(factory); }

 private:
  void SendViaSerial(int comPort, const unsigned char* bytes, int length);
  void SendViaNetwork(const unsigned char* bytes, int length);
  // Keeps the failure's code and text with where it happened, and deletes it.
  void KeepFailure(CSerialException* failure, CSendFailure where);
  void ShowUsbMessage(const char* text);
  // Null after showing where it looked.
  void* OpenUsbLibrary();

  CCommSettings& settings_;
  CViewStatus& view_;
  CMessageBoxSeam& messages_;
  CEventPump& pump_;
  std::optional<CSendFailure> lastSerialFailure_;
  bool inAction_ = false;
  std::set<std::string> shownInAction_;
  int lastUsbResult_ = 1;
  std::string usbLibraryName_ = kUsbLibraryFileName;
  std::string usbLibraryFolder_ = InstalledUsbLibraryFolder();
  SerialPortFactory serialPortFactory_;
};
