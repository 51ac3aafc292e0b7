#include "qt/framework/HyperlinkButton.h"

#include <QDesktopServices>
#include <QPainter>
#include <QPixmap>
#include <QUrl>

#include "qt/framework/DialogUnits.h"

namespace {

// The link font: a Swiss face with a cell height of 14 pixels, underlined.
QFont LinkFont() {
  QFont font = FontWithCellHeight(QStringLiteral("Arial"), 14);
  font.setStyleHint(QFont::SansSerif);
  font.setUnderline(true);
  return font;
}

QCursor HandCursor() {
  const QPixmap hand(QStringLiteral(":/ravelle/hand.png"));
  if (hand.isNull()) return QCursor(Qt::PointingHandCursor);
  // The tip of the index finger.
  return QCursor(hand, 12, 9);
}

}  // namespace

CHyperlinkButton::CHyperlinkButton(const QString& caption, const QString& address, QWidget* parent)
    : QAbstractButton(parent), address_(address), faceColor_(palette().color(QPalette::Button)) {
  setText(caption);
  setFont(LinkFont());
  setCursor(HandCursor());
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QAbstractButton::clicked, this, [this] { OpenWebAddress(); });
}

void CHyperlinkButton::OpenWebAddress() const { QDesktopServices::openUrl(QUrl(address_)); }

QSize CHyperlinkButton::sizeHint() const {
  return QSize(fontMetrics().horizontalAdvance(text()), fontMetrics().height());
}

void CHyperlinkButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area(0, 0, width(), height());
  painter.fillRect(area, faceColor_);
  painter.setFont(font());
  painter.setPen(isDown() ? QColor(255, 0, 0) : QColor(0, 0, 255));
  painter.setClipRect(area);
  // One line, left-aligned, vertically centred, clipped at the right edge.
  painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}
