#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "link/UsbLibrary.h"

const char* const kUsbLibraryFileName = "libbetabriteusb.so";

namespace {

// What the loader said about the last dlopen that failed.
std::string LoaderReason() {
  const char* reason = dlerror();
  return reason != nullptr ? reason : "no reason given";
}

}  // namespace

void* LoadUsbLibrary(const std::string& fileName, const std::string& privateFolder,
                     std::string& failureText) {
  void* library = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library != nullptr) return library;
  std::string reason = LoaderReason();
  // A name with a slash is a path: the loader took it as it stands.
  const bool plainName = fileName.find('/') == std::string::npos;
  std::string lookedIn = plainName ? "the system's library path" : fileName;
  if (plainName && !privateFolder.empty()) {
    const std::string privateCopy = (std::filesystem::path(privateFolder) / fileName).string();
    library = dlopen(privateCopy.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library != nullptr) return library;
    reason = LoaderReason();
    lookedIn += " and " + privateFolder;
  }
  failureText = "Error opening " + fileName + " -- looked in " + lookedIn + " (" + reason +
                "). Reinstall Ravelle, or put the library in one of those places, and re-run "
                "this program.";
  return nullptr;
}

void* FindUsbEntryPoint(void* library, const char* name) { return dlsym(library, name); }

void ReleaseUsbLibrary(void* library) { dlclose(library); }

std::string InstalledUsbLibraryFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return (program.parent_path() / RAVELLE_USB_FOLDER_FROM_PROGRAMS).lexically_normal().string();
}
