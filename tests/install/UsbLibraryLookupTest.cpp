#include <dlfcn.h>

#include "tests/link/FakeUsbControl.h"
#include "tests/link/LinkFakes.h"

namespace {

const std::string kPrivateFolder = FAKE_USB_PRIVATE_FOLDER;

class UsbLibraryLookupTest : public CPseudoTerminalTest {
 protected:
  void SetUp() override {
    CPseudoTerminalTest::SetUp();
    doc_.connection = kConnectionUsbPrism;
  }
  // Keeps the copy at path loaded and makes it open the sign, so a send
  // through it shows no message; its calls can then be read back.
  FakeUsbControl* Prepare(const std::string& path) {
    libraries_.emplace_back(dlopen(path.c_str(), RTLD_NOW), dlclose);
    if (libraries_.back() == nullptr) {
      ADD_FAILURE() << dlerror();
      return nullptr;
    }
    auto* control =
        reinterpret_cast<FakeUsbControlFn>(dlsym(libraries_.back().get(), "FakeUsb_Control"))();
    *control = FakeUsbControl{};
    control->openResult = 1;
    return control;
  }
  void Send(const std::string& name, const std::string& folder) {
    link_.SetUsbLibraryName(name);
    link_.SetUsbLibraryFolder(folder);
    link_.SendViaUsb(Packet(10).data(), 10);
  }

  std::vector<std::unique_ptr<void, int (*)(void*)>> libraries_;
};

// A copy the user put on the library path beats the package's own (which
// here lacks USBBULK_Open and would say so).
TEST_F(UsbLibraryLookupTest, ACopyOnTheLibraryPathWinsOverThePrivateOne) {
  FakeUsbControl* onPath = Prepare("libprismfake.so");
  ASSERT_NE(onPath, nullptr);
  Send("libprismfake.so", kPrivateFolder);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{});
  EXPECT_STREQ(onPath->calls, "O W10 R1 C");
}

TEST_F(UsbLibraryLookupTest, ThePrivateFolderIsTriedWhenThePathHasNone) {
  FakeUsbControl* privateCopy = Prepare(kPrivateFolder + "/libprismprivate.so");
  ASSERT_NE(privateCopy, nullptr);
  Send("libprismprivate.so", kPrivateFolder);
  EXPECT_EQ(messages_.texts, std::vector<std::string>{});
  EXPECT_STREQ(privateCopy->calls, "O W10 R1 C");
}

// The operator learns every place that was searched and the loader's reason
// for the last one.
TEST_F(UsbLibraryLookupTest, TheFailureNamesWhereItLooked) {
  struct Row {
    std::string name, folder, message;
  };
  const std::string advice =
      ". Reinstall Ravelle, or put the library in one of those places, and re-run this program.";
  for (const Row& row : std::vector<Row>{
           {"libprismprivate.so", kPrivateFolder + "/elsewhere",
            "Error opening libprismprivate.so -- looked in the system's library path and " +
                kPrivateFolder + "/elsewhere (" + kPrivateFolder +
                "/elsewhere/libprismprivate.so: cannot open shared object file: No such file or "
                "directory)" +
                advice},
           // Where the running program's folder could not be worked out.
           {"libprismprivate.so", "",
            "Error opening libprismprivate.so -- looked in the system's library path "
            "(libprismprivate.so: cannot open shared object file: No such file or directory)" +
                advice},
           // A path is taken as it stands; the private folder plays no part.
           {"/nonexistent-ravelle/libprismprivate.so", kPrivateFolder,
            "Error opening /nonexistent-ravelle/libprismprivate.so -- looked in "
            "/nonexistent-ravelle/libprismprivate.so (/nonexistent-ravelle/libprismprivate.so: "
            "cannot open shared object file: No such file or directory)" +
                advice},
       }) {
    messages_.texts.clear();
    Send(row.name, row.folder);
    EXPECT_EQ(messages_.texts, std::vector<std::string>{row.message}) << row.name;
  }
}

// An installed program looks beside itself, never in the current folder.
TEST_F(UsbLibraryLookupTest, TheInstalledFolderIsAnAbsolutePath) {
  const std::string folder = InstalledUsbLibraryFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.front(), '/');
  EXPECT_NE(folder.find("/ravelle"), std::string::npos) << folder;
}

}  // namespace
