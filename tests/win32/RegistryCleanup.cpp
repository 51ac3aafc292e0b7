#include "tests/win32/RegistryCleanup.h"

#include <windows.h>

void DeleteCurrentUserKeyTree(const char* subkey) { RegDeleteTreeA(HKEY_CURRENT_USER, subkey); }
