#include "tests/win32/RegistryCleanup.h"

#include <windows.h>

void DeleteCurrentUserKeyTree(const char* subkey) { RegDeleteTreeA(HKEY_CURRENT_USER, subkey); }

void SetCurrentUserValue(const char* subkey, const char* name, unsigned type, const void* data,
                         unsigned size) {
  RegSetKeyValueA(HKEY_CURRENT_USER, subkey, name, type, data, size);
}
