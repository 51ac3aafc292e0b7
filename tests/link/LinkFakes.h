#pragma once

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "game/RavelleDoc.h"
#include "link/SerialPort.h"
#include "link/SignLink.h"
#include "tests/settings/TemporaryConfigHome.h"
#include "tests/support/FakeViewStatus.h"
#include "tests/support/PseudoTerminal.h"
#include "tests/support/SeamFakes.h"

// Every byte value, the flow-control and line-end characters among them; no
// two 256-byte stretches alike.
inline std::vector<unsigned char> Packet(std::size_t length) {
  std::vector<unsigned char> packet(length);
  for (std::size_t i = 0; i < length; ++i) packet[i] = static_cast<unsigned char>(i + i / 256);
  return packet;
}

// A pseudo-terminal as COM1, a settings store of the test's own, and a sign
// link on a document that takes the serial road.
class CPseudoTerminalTest : public TemporaryConfigHome {
 protected:
  void SetUp() override {
    TemporaryConfigHome::SetUp();
    ASSERT_TRUE(pty_.IsOpen());
    setenv("RAVELLE_COM1", pty_.SlavePath().c_str(), 1);
    doc_.connection = kConnectionSerialClassic;
    link_.onSerialOutcome = [this] { ++outcomes_; };
  }
  void TearDown() override {
    for (const char* name : {"RAVELLE_COM1", "RAVELLE_COM2", "RAVELLE_COM3"}) unsetenv(name);
    TemporaryConfigHome::TearDown();
  }
  // The errno of the last serial send's failure; 0 when it got through.
  int FailureCode() const {
    return link_.LastSerialFailure() ? static_cast<int>(link_.LastSerialFailure()->errorCode) : 0;
  }

  // Sends on the COM port while the master is read, closed after
  // closeAfter bytes if that is not 0; returns what arrived.
  std::vector<unsigned char> Send(const std::vector<unsigned char>& packet, int comPort = 1,
                                  std::size_t closeAfter = 0) {
    pty_.StartReading(packet.size(), closeAfter);
    link_.SendToSign(comPort, packet.data(), static_cast<int>(packet.size()));
    return pty_.Collect();
  }
  // A packet of this length arrived whole and the send says so.
  bool SentWhole(std::size_t length, int comPort = 1) {
    return Send(Packet(length), comPort) == Packet(length) && FailureCode() == 0;
  }

  CPseudoTerminal pty_;
  CRavelleDoc doc_;
  CFakeViewStatus view_;
  CRecordingMessageBoxes messages_;
  CCountingEventPump pump_;
  CSignLink link_{doc_, view_, messages_, pump_};
  int outcomes_ = 0;
};

// A real serial port that also writes down, space-separated, each operation
// its user calls of those the serial road uses. Operations that other
// operations call on the way (AbortWrites' Purge...) are not written down.
class CRecordingSerialPort : public CSerialPort {
 public:
  explicit CRecordingSerialPort(std::string& calls) : calls_(calls) {}

// Each operation counts how deep in recorded calls it runs, and lowers the
// count again on the way out, thrown or not.
#define RAVELLE_RECORD(Result, Name, Parameters, Arguments, ...)                             \
  Result Name Parameters override {                                                          \
    if (depth_++ == 0) Note(#Name, {__VA_ARGS__});                                           \
    const std::unique_ptr<int, void (*)(int*)> leave(&depth_, [](int* depth) { --*depth; }); \
    return CSerialPort::Name Arguments;                                                      \
  }
  RAVELLE_RECORD(void, Open,
                 (int p, std::uint32_t b, SerialParity y, std::uint8_t d, SerialStopBits s,
                  SerialFlowControl f, bool o),
                 (p, b, y, d, s, f, o), p, b, y, d, s, f, o)
  RAVELLE_RECORD(void, Close, (), ())
  RAVELLE_RECORD(void, Attach, (Handle h, bool o), (h, o), o)
  RAVELLE_RECORD(Handle, Detach, (), ())
  RAVELLE_RECORD(void, GetConfig, (COMMCONFIG & c), (c))
  RAVELLE_RECORD(void, SetConfig, (const COMMCONFIG& c), (c), c.dcb.BaudRate)
  RAVELLE_RECORD(void, GetState, (DCB & d), (d))
  RAVELLE_RECORD(void, SetState, (const DCB& d), (d), d.BaudRate)
  RAVELLE_RECORD(void, GetModemStatus, (std::uint32_t & s), (s))
  RAVELLE_RECORD(void, GetMask, (std::uint32_t & m), (m))
  RAVELLE_RECORD(void, SetMask, (std::uint32_t m), (m), m)
  RAVELLE_RECORD(void, GetTimeouts, (COMMTIMEOUTS & t), (t))
  RAVELLE_RECORD(void, SetBreak, (), ())
  RAVELLE_RECORD(void, ClearBreak, (), ())
  RAVELLE_RECORD(void, ClearError, (std::uint32_t & e), (e))
  RAVELLE_RECORD(void, GetStatus, (COMSTAT & s), (s))
  RAVELLE_RECORD(std::uint32_t, InputQueueCount, (), ())
  RAVELLE_RECORD(void, Setup, (std::uint32_t i, std::uint32_t o), (i, o), i, o)
  RAVELLE_RECORD(void, AbortWrites, (), ())
  RAVELLE_RECORD(void, PurgeOutput, (), ())
  RAVELLE_RECORD(void, PurgeInput, (), ())
  RAVELLE_RECORD(void, Flush, (), ())
  RAVELLE_RECORD(std::uint32_t, Write, (const void* b, std::uint32_t n), (b, n), n)
  RAVELLE_RECORD(void, ClearWriteTimeouts, (), ())
  RAVELLE_RECORD(void, SetImmediateReads, (), ())
  RAVELLE_RECORD(void, SetImmediateTimeouts, (), ())
#undef RAVELLE_RECORD

 private:
  // "Name" alone, or "Name(1,2)" with its arguments.
  void Note(const char* name, std::initializer_list<long> arguments) {
    std::string text = name;
    for (long argument : arguments) text += (text == name ? "(" : ",") + std::to_string(argument);
    calls_ += (calls_.empty() ? "" : " ") + text + (arguments.size() == 0 ? "" : ")");
  }

  std::string& calls_;
  int depth_ = 0;
};
