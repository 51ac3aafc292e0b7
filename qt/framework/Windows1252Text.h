#pragma once

#include <QString>
#include <string>

#include "sign/Windows1252.h"

// The widgets speak Unicode, the document Windows-1252.
inline QString FromWindows1252(const std::string& text) {
  return QString::fromStdString(Windows1252ToUtf8(text));
}

inline std::string ToWindows1252(const QString& text) {
  return Utf8ToWindows1252(text.toStdString());
}
