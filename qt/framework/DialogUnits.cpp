#include "qt/framework/DialogUnits.h"

#include <QFontMetrics>
#include <QStringList>

namespace {

constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace

CDialogUnits::CDialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabetWidth = metrics.horizontalAdvance(QString::fromLatin1(kAlphabet));
  baseX_ = (alphabetWidth / 26 + 1) / 2;
  baseY_ = metrics.height();
}

QFont CDialogUnits::FormFont() {
  QFont font;
  // "MS Sans Serif" where it exists, else Arial's metric twin.
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arial")});
  font.setPointSize(8);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

// Rounded as Windows' MulDiv rounds.
int CDialogUnits::X(int du) const { return (2 * du * baseX_ + 4) / 8; }

int CDialogUnits::Y(int du) const { return (2 * du * baseY_ + 8) / 16; }

QRect CDialogUnits::ToPixels(int x, int y, int width, int height) const {
  const int left = X(x);
  const int top = Y(y);
  // Both edges are converted so that neighbouring controls meet where the
  // template has them meet.
  return QRect(left, top, X(x + width) - left, Y(y + height) - top);
}

QSize CDialogUnits::ToPixels(int width, int height) const { return QSize(X(width), Y(height)); }

QFont FontWithCellHeight(const QString& family, int cellHeight) {
  QFont font(family);
  font.setWeight(QFont::Normal);
  int pixelSize = cellHeight;
  font.setPixelSize(pixelSize);
  while (pixelSize > 1 && QFontMetrics(font).height() > cellHeight) {
    font.setPixelSize(--pixelSize);
  }
  return font;
}
