// The USB library by plain name: a copy the user put on the library path
// wins over the package's own (which here lacks USBBULK_Open and would say
// so), then the package's private folder is tried; a path is taken as it
// stands. A failure names every place searched and the loader's reason for
// the last one. An installed program looks beside itself, never in the
// current folder.

#include <dlfcn.h>

#include "tests/link/FakeUsbControl.h"
#include "tests/link/LinkFakes.h"

namespace {

using UsbLibraryLookupTest = CPseudoTerminalTest;

TEST_F(UsbLibraryLookupTest, PathThenPrivateFolderAndTheFailureNamesWhereItLooked) {
  const std::string folder = FAKE_USB_PRIVATE_FOLDER;
  const std::string reason = ": cannot open shared object file: No such file or directory)";
  const std::string advice =
      ". Reinstall Ravelle, or put the library in one of those places, and re-run this program.";
  const std::string privateOnly = "libprismprivate.so",
                    missing = "/nonexistent-ravelle/" + privateOnly;
  const struct {
    std::string name, folder, loaded, message;
  } rows[] = {
      {"libprismfake.so", folder, "libprismfake.so", ""},
      {privateOnly, folder, folder + "/" + privateOnly, ""},
      {privateOnly, folder + "/elsewhere", "",
       "Error opening libprismprivate.so -- looked in the system's library path and " + folder +
           "/elsewhere (" + folder + "/elsewhere/" + privateOnly + reason + advice},
      // Where the running program's folder could not be worked out.
      {privateOnly, "", "",
       "Error opening libprismprivate.so -- looked in the system's library path (" + privateOnly +
           reason + advice},
      {missing, folder, "",
       "Error opening " + missing + " -- looked in " + missing + " (" + missing + reason + advice},
  };
  doc_.connection = kConnectionUsbPrism;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name + " in " + row.folder);
    std::unique_ptr<void, int (*)(void*)> library(nullptr, dlclose);
    FakeUsbControl* control = nullptr;
    if (!row.loaded.empty()) {
      library.reset(dlopen(row.loaded.c_str(), RTLD_NOW));
      ASSERT_NE(library, nullptr) << dlerror();
      control = reinterpret_cast<FakeUsbControlFn>(dlsym(library.get(), "FakeUsb_Control"))();
      *control = FakeUsbControl{};
      control->openResult = 1;
    }
    messages_.texts.clear();
    link_.SetUsbLibraryName(row.name);
    link_.SetUsbLibraryFolder(row.folder);
    link_.SendViaUsb(Packet(10).data(), 10);
    EXPECT_EQ(messages_.texts, row.message.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{row.message});
    if (control != nullptr) {
      EXPECT_STREQ(control->calls, "O W10 R1 C");
    }
  }
  const std::string installed = InstalledUsbLibraryFolder();
  EXPECT_TRUE(installed.starts_with('/') && installed.find("/ravelle") != std::string::npos)
      << installed;
}

}  // namespace
