#include <cstdlib>

#include "link/ComPortMap.h"
#include "tests/settings/TemporaryConfigHome.h"

namespace {

class ComPortMapTest : public TemporaryConfigHome {
 protected:
  void TearDown() override {
    unsetenv("RAVELLE_COM4");
    TemporaryConfigHome::TearDown();
  }
};

TEST_F(ComPortMapTest, EnvironmentThenStoreThenTheStandardPort) {
  EXPECT_EQ(DevicePathForComPort(1), "/dev/ttyS0");
  EXPECT_EQ(DevicePathForComPort(4), "/dev/ttyS3");

  ASSERT_TRUE(SaveComPortDevice(4, "/dev/serial/by-id/usb-FTDI_sign-if00-port0"));
  EXPECT_EQ(DevicePathForComPort(4), "/dev/serial/by-id/usb-FTDI_sign-if00-port0");
  EXPECT_EQ(DevicePathForComPort(1), "/dev/ttyS0");

  setenv("RAVELLE_COM4", "/dev/pts/77", 1);
  EXPECT_EQ(DevicePathForComPort(4), "/dev/pts/77");
  // An empty variable is as good as none.
  setenv("RAVELLE_COM4", "", 1);
  EXPECT_EQ(DevicePathForComPort(4), "/dev/serial/by-id/usb-FTDI_sign-if00-port0");
}

TEST_F(ComPortMapTest, StoredDeviceIsATextValueUnderThePortsKey) {
  ASSERT_TRUE(SaveComPortDevice(2, "/dev/ttyUSB0"));
  std::ifstream in(home_ / "ravelle" / "settings.reg");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Norvane\\Ravelle\\Ports]\n"
                      "\"COM2\"=\"/dev/ttyUSB0\"\n"),
            std::string::npos)
      << text;
}

TEST_F(ComPortMapTest, ListedDevicesExist) {
  for (const std::string& device : ListSerialDevices()) {
    EXPECT_TRUE(std::filesystem::exists(device)) << device;
  }
}

}  // namespace
