#pragma once

#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/MessageBoxSeam.h"
#include "link/EventPump.h"
#include "link/SerialPort.h"
#include "tests/settings/TemporaryConfigHome.h"
#include "tests/support/PseudoTerminal.h"

// A pseudo-terminal as COM1 and a settings store of the test's own.
class CPseudoTerminalTest : public TemporaryConfigHome {
 protected:
  void SetUp() override {
    TemporaryConfigHome::SetUp();
    ASSERT_TRUE(pty_.IsOpen());
    setenv("RAVELLE_COM1", pty_.SlavePath().c_str(), 1);
  }
  void TearDown() override {
    for (const char* name : {"RAVELLE_COM1", "RAVELLE_COM2", "RAVELLE_COM3"}) unsetenv(name);
    TemporaryConfigHome::TearDown();
  }
  CPseudoTerminal pty_;
};

// Message boxes the link showed, in order.
class CRecordingMessageBoxes : public CMessageBoxSeam {
 public:
  void Show(const std::string& text, const std::string& caption, Icon icon) override {
    texts.push_back(text);
    EXPECT_EQ(caption, "Ravelle");
    EXPECT_EQ(icon, Icon::Exclamation);
  }
  std::vector<std::string> texts;
};

// Counts the event-loop passes; onPass runs at each one.
class CCountingEventPump : public CEventPump {
 public:
  void PumpOnce() override {
    ++passes;
    if (onPass) onPass();
  }
  int passes = 0;
  std::function<void()> onPass;
};

// A real serial port that also writes down each operation its user calls.
// Operations that other operations call on the way (AbortWrites' Purge...)
// are not written down.
class CRecordingSerialPort : public CSerialPort {
 public:
  explicit CRecordingSerialPort(std::vector<std::string>& calls) : calls_(calls) {}

#define RAVELLE_RECORD(text, call) \
  Scope scope(*this, text);        \
  return CSerialPort::call
  void Open(int port, std::uint32_t baud, SerialParity parity, std::uint8_t bits,
            SerialStopBits stop, SerialFlowControl flow, bool overlapped) override {
    RAVELLE_RECORD(Text("Open", {port, baud, parity, bits, stop, flow, overlapped}),
                   Open(port, baud, parity, bits, stop, flow, overlapped));
  }
  void Close() override { RAVELLE_RECORD("Close", Close()); }
  void Attach(Handle h, bool o) override { RAVELLE_RECORD(Text("Attach", {o}), Attach(h, o)); }
  Handle Detach() override { RAVELLE_RECORD("Detach", Detach()); }
  void GetConfig(COMMCONFIG& c) override { RAVELLE_RECORD("GetConfig", GetConfig(c)); }
  void SetConfig(const COMMCONFIG& c) override {
    RAVELLE_RECORD(Text("SetConfig", {c.dcb.BaudRate}), SetConfig(c));
  }
  void GetState(DCB& d) override { RAVELLE_RECORD("GetState", GetState(d)); }
  void SetState(const DCB& d) override {
    RAVELLE_RECORD(Text("SetState", {d.BaudRate}), SetState(d));
  }
  void GetModemStatus(std::uint32_t& s) override {
    RAVELLE_RECORD("GetModemStatus", GetModemStatus(s));
  }
  void GetMask(std::uint32_t& m) override { RAVELLE_RECORD("GetMask", GetMask(m)); }
  void SetMask(std::uint32_t m) override { RAVELLE_RECORD(Text("SetMask", {m}), SetMask(m)); }
  void GetTimeouts(COMMTIMEOUTS& t) override { RAVELLE_RECORD("GetTimeouts", GetTimeouts(t)); }
  void SetTimeouts(const COMMTIMEOUTS& t) override {
    RAVELLE_RECORD("SetTimeouts", SetTimeouts(t));
  }
  void SetBreak() override { RAVELLE_RECORD("SetBreak", SetBreak()); }
  void ClearBreak() override { RAVELLE_RECORD("ClearBreak", ClearBreak()); }
  void ClearError(std::uint32_t& e) override { RAVELLE_RECORD("ClearError", ClearError(e)); }
  void GetStatus(COMSTAT& s) override { RAVELLE_RECORD("GetStatus", GetStatus(s)); }
  std::uint32_t InputQueueCount() override { RAVELLE_RECORD("InputQueueCount", InputQueueCount()); }
  void Setup(std::uint32_t in, std::uint32_t out) override {
    RAVELLE_RECORD(Text("Setup", {in, out}), Setup(in, out));
  }
  void Purge(std::uint32_t f) override { RAVELLE_RECORD(Text("Purge", {f}), Purge(f)); }
  void AbortWrites() override { RAVELLE_RECORD("AbortWrites", AbortWrites()); }
  void PurgeOutput() override { RAVELLE_RECORD("PurgeOutput", PurgeOutput()); }
  void PurgeInput() override { RAVELLE_RECORD("PurgeInput", PurgeInput()); }
  void Flush() override { RAVELLE_RECORD("Flush", Flush()); }
  std::uint32_t Write(const void* bytes, std::uint32_t count) override {
    RAVELLE_RECORD(Text("Write", {count}), Write(bytes, count));
  }
  void ClearWriteTimeouts() override { RAVELLE_RECORD("ClearWriteTimeouts", ClearWriteTimeouts()); }
  void SetImmediateReads() override { RAVELLE_RECORD("SetImmediateReads", SetImmediateReads()); }
  void SetImmediateTimeouts() override {
    RAVELLE_RECORD("SetImmediateTimeouts", SetImmediateTimeouts());
  }
#undef RAVELLE_RECORD

 private:
  struct Scope {
    Scope(CRecordingSerialPort& port, const std::string& text) : depth(port.depth_) {
      if (depth++ == 0) port.calls_.push_back(text);
    }
    ~Scope() { --depth; }
    int& depth;
  };
  static std::string Text(const char* name, std::initializer_list<long> arguments) {
    std::string text = std::string(name) + "(";
    for (long argument : arguments) text += std::to_string(argument) + ",";
    text.back() = ')';
    return text;
  }

  std::vector<std::string>& calls_;
  int depth_ = 0;
};
