#include "dialogs/SystemText.h"

std::string SystemTextToWindows1252(const std::string& text) { return text; }
