#pragma once

// Removes a key of HKEY_CURRENT_USER with everything below it. Apart from
// the tests that include settings/RegistryAccess.h, whose stand-in names
// windows.h defines as well.
void DeleteCurrentUserKeyTree(const char* subkey);
