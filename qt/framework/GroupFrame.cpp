#include "qt/framework/GroupFrame.h"

#include <QPainter>

CGroupFrame::CGroupFrame(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CGroupFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int lineY = metrics.height() / 2;
  const QRect frame(0, lineY, width() - 2, height() - lineY - 2);
  // The etched line: a shadow line with a light line just below and right of it.
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(frame.translated(1, 1));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(frame);

  if (title_.isEmpty()) return;
  const int titleLeft = metrics.averageCharWidth() + 2;
  const QRect titleArea(titleLeft, 0, metrics.horizontalAdvance(title_) + 4, metrics.height());
  painter.fillRect(titleArea, palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(titleArea, Qt::AlignCenter | Qt::TextSingleLine, title_);
}
