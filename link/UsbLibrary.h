#pragma once

#include <string>

// The USB bulk library as this system names and loads it. The send path
// loads it by file name at every send, looks up each entry point by name and
// releases it again; the per-system file chosen by the build does the
// loading.

// The library's file name, found through the system's library search.
extern const char* const kUsbLibraryFileName;

// The message shown when the library cannot be loaded: it names the file and
// the folders where the system looks for it.
extern const char* const kUsbLibraryLoadFailedText;

// Nothing when the library cannot be loaded.
void* LoadUsbLibrary(const std::string& fileName);
// Nothing when the library has no entry point of that name.
void* FindUsbEntryPoint(void* library, const char* name);
void ReleaseUsbLibrary(void* library);
