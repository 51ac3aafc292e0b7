#include "dialogs/SystemText.h"
#include "sign/Windows1252.h"

std::string SystemTextToWindows1252(const std::string& text) { return Utf8ToWindows1252(text); }
