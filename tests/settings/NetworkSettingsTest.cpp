#include "game/RavelleDoc.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "tests/settings/TemporaryConfigHome.h"

namespace {

class NetworkSettingsTest : public TemporaryConfigHome {
 protected:
  CRegistryAccess registry_;
  CRavelleDoc doc_;
};

// The network type adds its three values after the seven; the other types
// write none of them and, read back, leave the document's as they were.
TEST_F(NetworkSettingsTest, HostPortAndProtocolAreStoredOnlyForTheNetworkType) {
  CCommSettings network{"alpha", kConnectionNetwork, 1, 9600, 7, "even", 1, "sign.example",
                        4001,    kTcpProtocolRfc2217};
  SaveCommSettings(network, registry_);
  EXPECT_NE(StoreText().find("\"StopBits\"=dword:00000001\n\"Host\"=\"sign.example\"\n"
                             "\"TcpPort\"=dword:00000fa1\n\"TcpProtocol\"=\"RFC 2217\"\n"),
            std::string::npos);
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(std::tie(doc_.connection, doc_.host, doc_.tcpPort, doc_.tcpProtocol),
            std::make_tuple(std::string(kConnectionNetwork), std::string("sign.example"), 4001,
                            std::string(kTcpProtocolRfc2217)));

  CCommSettings serial{"alpha", kConnectionSerialClassic, 2, 9600, 7, "even", 1};
  PutStoreText(kStoreHead);
  SaveCommSettings(serial, registry_);
  EXPECT_EQ(StoreText().find("Host"), std::string::npos);
  ASSERT_TRUE(ReadSavedSettings(doc_, registry_));
  EXPECT_EQ(
      std::tie(doc_.connection, doc_.host, doc_.tcpPort),
      std::make_tuple(std::string(kConnectionSerialClassic), std::string("sign.example"), 4001));
}

}  // namespace
