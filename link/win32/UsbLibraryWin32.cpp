#include <windows.h>

#include "link/UsbLibrary.h"

const char* const kUsbLibraryFileName = "betabriteusb.dll";

namespace {

constexpr const char* kUsbLibraryLoadFailedText =
    "Error opening betabriteusb.dll -- please find it where this program was installed and try "
    "copying it to C:\\windows\\ or C:\\windows\\system32\\ or some similar system directory and "
    "re-run this program.";

}  // namespace

// The system's own search is the only place looked in: the DLL lies beside
// the program or in a system folder.
void* LoadUsbLibrary(const std::string& fileName, const std::string&, std::string& failureText) {
  // A missing library is answered by the message above, not by the
  // system's own error box.
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  HMODULE library = LoadLibraryA(fileName.c_str());
  SetThreadErrorMode(previousMode, nullptr);
  if (library == nullptr) failureText = kUsbLibraryLoadFailedText;
  return reinterpret_cast<void*>(library);
}

void* FindUsbEntryPoint(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void ReleaseUsbLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

std::string InstalledUsbLibraryFolder() { return {}; }
