#include "tools/cli/SignRoad.h"

#include "link/EventPump.h"
#include "link/SignLink.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "sign/Windows1252.h"
#include "tools/cli/CliGame.h"
#include "tools/cli/CommandLine.h"

namespace {

// The command line has no window, so nothing waits to be handled between
// the packets of a USB send.
class CNoEventLoop : public CEventPump {
 public:
  void PumpOnce() override {}
};

// The link's message boxes, all of them USB failures: printed with the
// others on out, and on err as the reason the run fails.
class CLinkMessageBoxes : public CMessageBoxSeam {
 public:
  CLinkMessageBoxes(std::ostream& out, std::ostream& err) : printed_(out), err_(err) {}
  void Show(const std::string& text, const std::string& caption, Icon icon) override {
    printed_.Show(text, caption, icon);
    err_ << "ravelle-cli: " << Windows1252ToUtf8(text) << '\n';
  }
  int ShownCount() const { return printed_.ShownCount(); }

 private:
  CPrintedMessageBoxes printed_;
  std::ostream& err_;
};

class CSignRoad : public CCliRoad {
 public:
  CSignRoad(CCliGame& cli, std::ostream& out, std::ostream& err)
      : doc_(cli.doc),
        linkMessages_(out, err),
        link_(cli.doc, cli.game, linkMessages_, pump_),
        err_(err) {
    link_.onSerialOutcome = [this] { ReportSerialOutcome(); };
  }

  void SendToSign(int comPort, const unsigned char* bytes, int length) override {
    const int shownBefore = linkMessages_.ShownCount();
    link_.SendToSign(comPort, bytes, length);
    // A refused chunk shows no message box; the packet still did not reach
    // the sign.
    if (doc_.connection == kConnectionUsbPrism && link_.LastUsbResult() <= 0 &&
        linkMessages_.ShownCount() == shownBefore) {
      ++usbFailures_;
      err_ << "ravelle-cli: packet not sent over USB: the sign did not take all of it (write "
              "result "
           << link_.LastUsbResult() << ")\n";
    }
  }

  bool SendFailed() const override {
    return serialFailures_ > 0 || usbFailures_ > 0 || linkMessages_.ShownCount() > 0;
  }

 private:
  void ReportSerialOutcome() {
    const std::optional<CSendFailure>& failure = link_.LastSerialFailure();
    if (!failure) return;
    ++serialFailures_;
    err_ << "ravelle-cli: packet not sent to " << failure->Where() << ": " << failure->systemText
         << '\n';
  }

  const CRavelleDoc& doc_;
  CLinkMessageBoxes linkMessages_;
  CNoEventLoop pump_;
  CSignLink link_;
  std::ostream& err_;
  int serialFailures_ = 0;
  int usbFailures_ = 0;
};

bool HasLineSettings(const CRoadOptions& options) {
  return options.baudRate || options.byteSize || options.parity || options.stopBits;
}

}  // namespace

std::unique_ptr<CCliRoad> OpenSignRoad(CCliGame& cli, const CRoadOptions& options,
                                       std::ostream& out, std::ostream& err) {
  CRavelleDoc& doc = cli.doc;
  if (options.usb) {
    doc.connection = kConnectionUsbPrism;
    return std::make_unique<CSignRoad>(cli, out, err);
  }

  CRegistryAccess registry;
  std::string unreadable;
  const bool saved = ReadSavedSettings(doc, registry, &unreadable);
  if (!unreadable.empty()) {
    // A settings file that cannot be read is not "nothing saved": its line
    // settings or port map may be what this run needs.
    err << "ravelle-cli: the connection settings cannot be read: " << unreadable << '\n';
    return nullptr;
  }
  if (options.port) {
    // The saved line settings stay unless the command line overrides them.
    doc.connection = kConnectionSerialCustom;
    doc.comPort = *options.port;
  } else if (options.tcpHost) {
    doc.connection = kConnectionNetwork;
    doc.host = *options.tcpHost;
    doc.tcpPort = options.tcpPort;
    doc.tcpProtocol = options.rfc2217 ? kTcpProtocolRfc2217 : kTcpProtocolRaw;
  } else if (!saved) {
    err << "ravelle-cli: no connection settings are saved; choose the road with --port N or "
           "--usb or --tcp HOST:PORT, or save the settings in Ravelle's Communication Settings\n";
    return nullptr;
  } else if (doc.connection == kConnectionUsbPrism && HasLineSettings(options)) {
    err << "ravelle-cli: the saved connection is USB; --baud, --bits, --parity and --stop-bits "
           "need a serial port (add --port N)\n";
    return nullptr;
  }
  if (options.baudRate) doc.baudRate = *options.baudRate;
  if (options.byteSize) doc.byteSize = *options.byteSize;
  if (options.parity) doc.parity = *options.parity;
  if (options.stopBits) doc.stopBits = *options.stopBits;
  return std::make_unique<CSignRoad>(cli, out, err);
}
