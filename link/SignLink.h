#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "link/UsbLibrary.h"
#include "sign/PacketSink.h"

class CEventPump;
class CMessageBoxSeam;
class CRavelleDoc;
class CSerialPort;
class CViewStatus;

// Why the last serial send did not reach the sign.
struct CSendFailure {
  int comPort = 0;              // the port number used
  std::string device;           // the device path it maps to
  unsigned long errorCode = 0;  // errno, or the last error on Windows
  std::string systemText;       // CSerialException::GetErrorMessage
};

// The send-to-sign dispatcher: the single road by which every packet reaches
// the sign, over USB when the document's connection is exactly
// "usb - betabrite prism", over the serial port otherwise. Each call opens
// the connection, writes the packet and closes it again.
//
// The serial road shows nothing to the operator; its last outcome is kept
// here (and reported to onSerialOutcome) so the form can show it quietly.
// The USB road reports its failures through the message-box seam.
class CSignLink : public CPacketSink {
 public:
  CSignLink(CRavelleDoc& doc, CViewStatus& view, CMessageBoxSeam& messages, CEventPump& pump);

  void SendToSign(int comPort, const unsigned char* bytes, int length) override;
  int SendViaUsb(const unsigned char* bytes, int length);

  // Empty after a serial send that got through, and once a send goes over USB.
  const std::optional<CSendFailure>& LastSerialFailure() const { return lastSerialFailure_; }
  // Called after every serial send, success or failure, and when a USB send
  // clears a standing serial failure.
  std::function<void()> onSerialOutcome;

  // The USB library is loaded by this name at every send.
  void SetUsbLibraryName(std::string name) { usbLibraryName_ = std::move(name); }

  // Makes the port object of each serial send; tests put in one that
  // records the calls. By default a plain CSerialPort.
  using SerialPortFactory = std::function<std::unique_ptr<CSerialPort>()>;
  void SetSerialPortFactory(SerialPortFactory factory) { serialPortFactory_ = std::move(factory); }

 private:
  void SendViaSerial(int comPort, const unsigned char* bytes, int length);
  void ShowUsbMessage(const char* text);

  CRavelleDoc& doc_;
  CViewStatus& view_;
  CMessageBoxSeam& messages_;
  CEventPump& pump_;
  std::optional<CSendFailure> lastSerialFailure_;
  std::string usbLibraryName_ = kUsbLibraryFileName;
  SerialPortFactory serialPortFactory_;
};
