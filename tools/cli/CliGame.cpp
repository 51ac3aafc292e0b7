#include "tools/cli/CliGame.h"

#include "sign/Windows1252.h"

void CPrintedMessageBoxes::Show(const std::string& text, const std::string& /*caption*/,
                                Icon /*icon*/) {
  ++shown_;
  out_ << "message " << Windows1252ToUtf8(text) << '\n';
}

void CRoadSocket::SendToSign(int comPort, const unsigned char* bytes, int length) {
  if (road_ != nullptr) road_->SendToSign(comPort, bytes, length);
}
