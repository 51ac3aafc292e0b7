#pragma once

#include <string>
#include <vector>

#include "link/SerialPort.h"

// A real serial port that also writes down every operation its user calls,
// with the arguments that matter. Operations that other operations call on
// the way (Open's GetState, AbortWrites' Purge...) are not written down.
class CRecordingSerialPort : public CSerialPort {
 public:
  explicit CRecordingSerialPort(std::vector<std::string>& calls) : calls_(calls) {}

  void Open(int port, std::uint32_t baudRate, SerialParity parity, std::uint8_t dataBits,
            SerialStopBits stopBits, SerialFlowControl flowControl, bool overlapped) override {
    Call("Open(" + std::to_string(port) + "," + std::to_string(baudRate) + "," +
             std::to_string(parity) + "," + std::to_string(dataBits) + "," +
             std::to_string(stopBits) + "," + std::to_string(flowControl) + "," +
             std::to_string(overlapped) + ")",
         [&] {
           CSerialPort::Open(port, baudRate, parity, dataBits, stopBits, flowControl, overlapped);
         });
  }
  void Close() override {
    Call("Close", [&] { CSerialPort::Close(); });
  }
  void Attach(Handle handle, bool overlapped) override {
    Call("Attach(" + std::to_string(overlapped) + ")",
         [&] { CSerialPort::Attach(handle, overlapped); });
  }
  Handle Detach() override {
    Handle handle = kInvalidHandle;
    Call("Detach", [&] { handle = CSerialPort::Detach(); });
    return handle;
  }
  void GetConfig(COMMCONFIG& c) override {
    Call("GetConfig", [&] { CSerialPort::GetConfig(c); });
  }
  void SetConfig(const COMMCONFIG& c) override {
    Call("SetConfig(" + std::to_string(c.dcb.BaudRate) + ")", [&] { CSerialPort::SetConfig(c); });
  }
  void GetState(DCB& d) override {
    Call("GetState", [&] { CSerialPort::GetState(d); });
  }
  void SetState(const DCB& d) override {
    Call("SetState(" + std::to_string(d.BaudRate) + ")", [&] { CSerialPort::SetState(d); });
  }
  void GetModemStatus(std::uint32_t& s) override {
    Call("GetModemStatus", [&] { CSerialPort::GetModemStatus(s); });
  }
  void GetMask(std::uint32_t& m) override {
    Call("GetMask", [&] { CSerialPort::GetMask(m); });
  }
  void SetMask(std::uint32_t m) override {
    Call("SetMask(" + std::to_string(m) + ")", [&] { CSerialPort::SetMask(m); });
  }
  void GetTimeouts(COMMTIMEOUTS& t) override {
    Call("GetTimeouts", [&] { CSerialPort::GetTimeouts(t); });
  }
  void SetTimeouts(const COMMTIMEOUTS& t) override {
    Call("SetTimeouts", [&] { CSerialPort::SetTimeouts(t); });
  }
  void SetBreak() override {
    Call("SetBreak", [&] { CSerialPort::SetBreak(); });
  }
  void ClearBreak() override {
    Call("ClearBreak", [&] { CSerialPort::ClearBreak(); });
  }
  void ClearError(std::uint32_t& e) override {
    Call("ClearError", [&] { CSerialPort::ClearError(e); });
  }
  void GetStatus(COMSTAT& s) override {
    Call("GetStatus", [&] { CSerialPort::GetStatus(s); });
  }
  std::uint32_t InputQueueCount() override {
    std::uint32_t count = 0;
    Call("InputQueueCount", [&] { count = CSerialPort::InputQueueCount(); });
    return count;
  }
  void Setup(std::uint32_t in, std::uint32_t out) override {
    Call("Setup(" + std::to_string(in) + "," + std::to_string(out) + ")",
         [&] { CSerialPort::Setup(in, out); });
  }
  void Purge(std::uint32_t flags) override {
    Call("Purge(" + std::to_string(flags) + ")", [&] { CSerialPort::Purge(flags); });
  }
  void AbortWrites() override {
    Call("AbortWrites", [&] { CSerialPort::AbortWrites(); });
  }
  void PurgeOutput() override {
    Call("PurgeOutput", [&] { CSerialPort::PurgeOutput(); });
  }
  void PurgeInput() override {
    Call("PurgeInput", [&] { CSerialPort::PurgeInput(); });
  }
  void Flush() override {
    Call("Flush", [&] { CSerialPort::Flush(); });
  }
  std::uint32_t Write(const void* bytes, std::uint32_t count) override {
    std::uint32_t written = 0;
    Call("Write(" + std::to_string(count) + ")",
         [&] { written = CSerialPort::Write(bytes, count); });
    return written;
  }
  void ClearWriteTimeouts() override {
    Call("ClearWriteTimeouts", [&] { CSerialPort::ClearWriteTimeouts(); });
  }
  void SetImmediateReads() override {
    Call("SetImmediateReads", [&] { CSerialPort::SetImmediateReads(); });
  }
  void SetImmediateTimeouts() override {
    Call("SetImmediateTimeouts", [&] { CSerialPort::SetImmediateTimeouts(); });
  }

 private:
  template <typename Operation>
  void Call(const std::string& name, Operation operation) {
    if (depth_ == 0) calls_.push_back(name);
    ++depth_;
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{depth_};
    operation();
  }

  std::vector<std::string>& calls_;
  int depth_ = 0;
};
