#include "dialogs/CommSettingsEditor.h"
#include "settings/RegistryAccess.h"
#include "settings/SavedSettings.h"
#include "tests/settings/TemporaryConfigHome.h"
#include "tests/support/SeamFakes.h"

namespace {

class NetworkSettingsEditorTest : public TemporaryConfigHome {
 protected:
  CRegistryAccess registry;
  CRecordingMessageBoxes messages;
};

// Choosing the network type from custom settings: the port row goes, the
// line stays editable with its values, the server's boxes come, raw until
// the operator says else; with raw the quiet line speaks, with RFC 2217 not.
// What was typed is saved and opens again as typed.
TEST_F(NetworkSettingsEditorTest, TheServerBoxesTheQuietLineAndASaveThatOpensAgain) {
  CCommSettingsEditor editor(registry, messages, nullptr);
  static_cast<CCommSettings&>(editor) =
      CCommSettings{"alpha", kConnectionSerialCustom, 3, 19200, 8, "none", 2};
  editor.Open();
  editor.Choose(CommBox::Connection, kConnectionNetwork);
  EXPECT_FALSE(editor.Box(CommBox::ComPort).enabled);
  for (CommBox box : {CommBox::BaudRate, CommBox::ByteSize, CommBox::Parity, CommBox::StopBits,
                      CommBox::Host, CommBox::TcpPort, CommBox::TcpProtocol}) {
    EXPECT_TRUE(editor.Box(box).enabled) << static_cast<int>(box);
  }
  EXPECT_EQ(editor.Box(CommBox::BaudRate).text, "19200");
  EXPECT_EQ(editor.Box(CommBox::TcpProtocol).text, kTcpProtocolRaw);
  EXPECT_EQ(editor.NetworkNote(), "With raw TCP the device server's own line settings apply.");

  editor.Type(CommBox::Host, " sign.example ");
  editor.Type(CommBox::TcpPort, "4001x");
  editor.Choose(CommBox::TcpProtocol, kTcpProtocolRfc2217);
  editor.Choose(CommBox::TcpProtocol, "telnet");  // not an entry: no change
  EXPECT_EQ(editor.NetworkNote(), "");
  editor.Save();
  EXPECT_TRUE(messages.texts.empty());

  CCommSettingsEditor reopened(registry, messages, nullptr);
  ASSERT_TRUE(ReadSavedSettings(reopened, registry));
  reopened.Open();
  EXPECT_EQ(std::tie(reopened.Box(CommBox::Host).text, reopened.Box(CommBox::TcpPort).text,
                     reopened.Box(CommBox::TcpProtocol).text),
            std::make_tuple(std::string("sign.example"), std::string("4001"),
                            std::string(kTcpProtocolRfc2217)));
}

}  // namespace
