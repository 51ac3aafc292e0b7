#include "link/SignLink.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "link/ComPortMap.h"
#include "link/EventPump.h"
#include "link/MessageBoxSeam.h"
#include "link/NetworkRoad.h"
#include "link/SerialPort.h"
#include "link/UsbBulkApi.h"
#include "link/UsbLibrary.h"
#include "settings/CommSettings.h"
#include "settings/SettingsReadScope.h"
#include "sign/ViewStatus.h"

namespace {

constexpr int kUsbChunkSize = 256;
constexpr int kUsbReadBufferSize = 2000;
constexpr int kPumpPassesAfterUsbSend = 10;
constexpr std::uint32_t kSerialQueueSize = 10000;

constexpr const char* kUsbOpenMissing = "Error connecting to USB Open() function";
constexpr const char* kUsbOpenFailed =
    "Failed to Open the USB connection to the LED sign -- some other program may be using the LED "
    "sign, or the sign needs to be re-connected, or the computer needs to be rebooted.";
constexpr const char* kUsbWriteMissing = "Error connecting to USB Write() function";
constexpr const char* kUsbReadMissing = "Error connecting to USB Read() function";
constexpr const char* kUsbCloseMissing = "Error connecting to USB Close() function";

// Every entry point is looked up here, by name, at every send.
template <typename Function>
Function LookUp(void* library, const char* name) {
  return reinterpret_cast<Function>(FindUsbEntryPoint(library, name));
}

SerialParity ParityFromText(const std::string& parity) {
  if (parity == "none") return ParityNone;
  if (parity == "even") return ParityEven;
  if (parity == "odd") return ParityOdd;
  return ParityEven;
}

SerialStopBits StopBitsFromCount(int stopBits) {
  if (stopBits == 1) return StopBitsOne;
  if (stopBits == 2) return StopBitsTwo;
  return StopBitsOne;
}

// The repairs every line road makes in the document before using it.
void RepairLineSettings(CCommSettings& settings) {
  if (settings.baudRate < 1) settings.baudRate = 9600;
  if (settings.byteSize != 7 && settings.byteSize != 8) settings.byteSize = 7;
}

// The system's text for a failure, after what the failure concerns when the
// road named it ("the port refused the baud rate 12345: ..."); a failure
// whose code has no system text (a resolver's) is its detail alone.
std::string FailureText(CSerialException& failure) {
  char text[256];
  failure.GetErrorMessage(text, sizeof text);
  // Some systems end their texts with a line end; the reason is shown
  // inside a line.
  std::string systemText = text;
  while (!systemText.empty() && std::isspace(static_cast<unsigned char>(systemText.back()))) {
    systemText.pop_back();
  }
  if (failure.detail.empty()) return systemText;
  return systemText.empty() ? failure.detail : failure.detail + ": " + systemText;
}

}  // namespace

std::string CSendFailure::Where() const {
  if (deviceServer) return "device server " + device;
  return "COM" + std::to_string(comPort) + " (" + device + ")";
}

CSignLink::CSignLink(CCommSettings& settings, CViewStatus& view, CMessageBoxSeam& messages,
                     CEventPump& pump)
    : settings_(settings), view_(view), messages_(messages), pump_(pump) {}

void CSignLink::SendToSign(int comPort, const unsigned char* bytes, int length) {
  if (settings_.connection == kConnectionNetwork) {
    SendViaNetwork(bytes, length);
    return;
  }
  if (settings_.connection != kConnectionUsbPrism) {
    SendViaSerial(comPort, bytes, length);
    return;
  }
  // Once a send goes over USB, a serial failure no longer describes the last
  // send; the USB road shows its own failures in message boxes.
  if (lastSerialFailure_) {
    lastSerialFailure_.reset();
    if (onSerialOutcome) onSerialOutcome();
  }
  if (view_.GetScoreMode() != 0) view_.SetNowShowing("Updating LED Sign");
  lastUsbResult_ = SendViaUsb(bytes, length);
  // Lets a click be handled between the packets of a longer send; the
  // connection is already closed and the library released.
  for (int pass = 0; pass < kPumpPassesAfterUsbSend; ++pass) pump_.PumpOnce();
}

int CSignLink::SendViaUsb(const unsigned char* bytes, int length) {
  std::array<unsigned char, kUsbChunkSize> chunkBuffer{};
  std::array<unsigned char, kUsbReadBufferSize> readBuffer{};

  void* library = OpenUsbLibrary();
  if (library == nullptr) return 1;
  auto open = LookUp<UsbBulkOpenFn>(library, "USBBULK_Open");
  if (open == nullptr) {
    ReleaseUsbLibrary(library);
    ShowUsbMessage(kUsbOpenMissing);
    return 0;
  }
  bool opened = open() != 0;
  if (!opened) ShowUsbMessage(kUsbOpenFailed);

  int result = 1;
  auto write = LookUp<UsbBulkWriteFn>(library, "USBBULK_Write");
  auto read = write == nullptr ? nullptr : LookUp<UsbBulkReadFn>(library, "USBBULK_Read");
  if (write == nullptr) {
    ShowUsbMessage(kUsbWriteMissing);
    result = 0;
  } else if (read == nullptr) {
    ShowUsbMessage(kUsbReadMissing);
    result = 0;
  } else if (length < 1) {
    result = 0;
  } else if (opened) {
    int offset = 0;
    while (result > 0) {
      int chunk = std::min(kUsbChunkSize, length - offset);
      std::memcpy(chunkBuffer.data(), bytes + offset, static_cast<std::size_t>(chunk));
      result = write(chunkBuffer.data(), chunk);
      // Read after every write, a refused one too; what comes back is not
      // looked at.
      read(readBuffer.data(), 1);
      if (result > 0) offset += chunk;
      if (offset >= length) break;
    }
  }

  auto close = LookUp<UsbBulkCloseFn>(library, "USBBULK_Close");
  if (close == nullptr) {
    ReleaseUsbLibrary(library);
    ShowUsbMessage(kUsbCloseMissing);
    return 0;
  }
  close();
  ReleaseUsbLibrary(library);
  return result;
}

void CSignLink::BeginAction() {
  inAction_ = true;
  shownInAction_.clear();
}

void CSignLink::EndAction() {
  inAction_ = false;
  shownInAction_.clear();
}

void* CSignLink::OpenUsbLibrary() {
  std::string failureText;
  void* library = LoadUsbLibrary(usbLibraryName_, usbLibraryFolder_, failureText);
  if (library == nullptr) ShowUsbMessage(failureText.c_str());
  return library;
}

void CSignLink::ShowUsbMessage(const char* text) {
  if (inAction_ && !shownInAction_.insert(text).second) return;
  messages_.Show(text, kApplicationName, CMessageBoxSeam::Icon::Exclamation);
}

void CSignLink::SendViaSerial(int comPort, const unsigned char* bytes, int length) {
  // The port map is looked up on the way more than once; one read of the
  // settings file serves the whole send, and the next send reads it anew.
  const CSettingsReadScope oneSettingsRead;
  int port = comPort < 1 ? 1 : comPort;
  // Scratch records the port fills; their contents are not used.
  COMMCONFIG config;
  DCB dcb;
  COMMTIMEOUTS timeouts;
  COMSTAT status;
  std::uint32_t modemStatus = 0, errors = 0, eventMask = 0;

  std::unique_ptr<CSerialPort> serial;
  try {
    CSerialPort::GetDefaultConfig(port, config);
    RepairLineSettings(settings_);
    SerialParity parity = ParityFromText(settings_.parity);
    SerialStopBits stopBits = StopBitsFromCount(settings_.stopBits);

    serial = serialPortFactory_ ? serialPortFactory_() : std::make_unique<CSerialPort>();
    serial->Open(port, static_cast<std::uint32_t>(settings_.baudRate), parity,
                 static_cast<std::uint8_t>(settings_.byteSize), stopBits, FlowNone, false);
    CSerialPort::Handle handle = serial->Detach();
    serial->Attach(handle, false);
    serial->GetModemStatus(modemStatus);
    serial->GetState(dcb);
    dcb.BaudRate = static_cast<std::uint32_t>(settings_.baudRate);
    serial->SetState(dcb);
    serial->ClearError(errors);
    serial->SetBreak();
    serial->ClearBreak();
    serial->GetStatus(status);
    serial->InputQueueCount();
    serial->GetTimeouts(timeouts);
    serial->Setup(kSerialQueueSize, kSerialQueueSize);
    serial->GetConfig(config);
    config.dcb.BaudRate = static_cast<std::uint32_t>(settings_.baudRate);
    serial->SetConfig(config);
    // With no write timeouts the port still keeps a deadline of its own
    // (twice the packet's line time and a second): a stalled far end fails
    // the packet with ETIMEDOUT instead of holding the form.
    serial->ClearWriteTimeouts();
    serial->SetImmediateReads();
    serial->Write(bytes, static_cast<std::uint32_t>(std::max(length, 0)));
    serial->GetMask(eventMask);
    serial->SetMask(EV_TXEMPTY);
    serial->AbortWrites();
    serial->SetImmediateTimeouts();
    serial->PurgeOutput();
    serial->PurgeInput();
    serial->Flush();
    serial->Close();
    serial.reset();
    lastSerialFailure_.reset();
  } catch (CSerialException* failure) {
    serial.reset();
    KeepFailure(failure, CSendFailure{port, ComPortDeviceForReport(port)});
  }
  if (onSerialOutcome) onSerialOutcome();
}

void CSignLink::SendViaNetwork(const unsigned char* bytes, int length) {
  RepairLineSettings(settings_);
  DCB line;
  ApplyLineSettings(line, static_cast<std::uint32_t>(settings_.baudRate),
                    ParityFromText(settings_.parity), static_cast<std::uint8_t>(settings_.byteSize),
                    StopBitsFromCount(settings_.stopBits), FlowNone);
  try {
    SendViaDeviceServer(settings_, line, bytes, static_cast<std::uint32_t>(std::max(length, 0)));
    lastSerialFailure_.reset();
  } catch (CSerialException* failure) {
    CSendFailure where;
    where.deviceServer = true;
    where.device = DeviceServerName(settings_.host, settings_.tcpPort);
    KeepFailure(failure, std::move(where));
  }
  if (onSerialOutcome) onSerialOutcome();
}

void CSignLink::KeepFailure(CSerialException* failure, CSendFailure where) {
  where.errorCode = failure->errorCode;
  where.systemText = FailureText(*failure);
  lastSerialFailure_ = std::move(where);
  failure->Delete();
}
