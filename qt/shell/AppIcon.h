#pragma once

#include <QIcon>

// The application icon in its 32 x 32 and 16 x 16 images, rendered from
// res/ravelle.svg by the build.
inline QIcon ApplicationIcon() {
  QIcon icon;
  icon.addFile(QStringLiteral(":/ravelle/ravelle-32.png"), QSize(32, 32));
  icon.addFile(QStringLiteral(":/ravelle/ravelle-16.png"), QSize(16, 16));
  return icon;
}
