#include <dlfcn.h>

#include "link/UsbLibrary.h"

const char* const kUsbLibraryFileName = "libbetabriteusb.so";

const char* const kUsbLibraryLoadFailedText =
    "Error opening libbetabriteusb.so -- please find it where this program was installed and try "
    "copying it to /usr/local/lib/ or /usr/lib/ or some similar system directory and re-run this "
    "program.";

void* LoadUsbLibrary(const std::string& fileName) {
  return dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindUsbEntryPoint(void* library, const char* name) { return dlsym(library, name); }

void ReleaseUsbLibrary(void* library) { dlclose(library); }
