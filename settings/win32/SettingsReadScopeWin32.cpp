// The registry answers every query on its own and costs no parse of a file,
// so on Windows a read scope shares nothing.

#include "settings/SettingsReadScope.h"

CSettingsReadScope::CSettingsReadScope() : outermost_(false) {}

CSettingsReadScope::~CSettingsReadScope() = default;
