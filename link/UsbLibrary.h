#pragma once

#include <string>

// The USB bulk library as this system names and loads it. The send path
// loads it by file name at every send, looks up each entry point by name and
// releases it again; the per-system file chosen by the build does the
// loading.

// The library's file name, found through the system's library search.
extern const char* const kUsbLibraryFileName;

// Loads fileName through the system's library search first, so a copy the
// user put there wins; then, where the package keeps the library in a
// folder of its own, from privateFolder (empty: nowhere else). Null when
// neither worked, with failureText set to the message the operator sees: it
// names the library and where it was looked for.
void* LoadUsbLibrary(const std::string& fileName, const std::string& privateFolder,
                     std::string& failureText);
// Nothing when the library has no entry point of that name.
void* FindUsbEntryPoint(void* library, const char* name);
void ReleaseUsbLibrary(void* library);

// The package's private library folder, worked out from where the running
// program lies; empty where the system has none.
std::string InstalledUsbLibraryFolder();
