#include "tools/signsim/SignFace.h"

#include <QPainter>

#include "tools/signsim/DotFont.h"
#include "tools/signsim/SignDisplay.h"

namespace {

const QColor kBoard(0x10, 0x10, 0x10);
const QColor kUnlit(0x2A, 0x2A, 0x2A);

}  // namespace

CSignFace::CSignFace(QWidget* parent) : QWidget(parent), face_(kColumns) {
  connect(&timer_, &QTimer::timeout, this, &CSignFace::Tick);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CSignFace::ShowDisplay(const CSignDisplay& display) {
  strip_ = RasteriseDisplay(display);
  step_ = 0;
  if (strip_.rotate) {
    timer_.start(kTickMilliseconds);
  } else {
    timer_.stop();
  }
  Recompute();
}

void CSignFace::Tick() {
  step_ = (step_ + 1) % RotationPeriod(strip_, kColumns);
  Recompute();
}

void CSignFace::Recompute() {
  face_ = FaceColumns(strip_, kColumns, step_);
  update();
}

QSize CSignFace::sizeHint() const {
  return QSize(2 * kMargin + kColumns * kDotPitch, 2 * kMargin + kGlyphRows * kDotPitch);
}

void CSignFace::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), kBoard);
  painter.setPen(Qt::NoPen);
  const qreal radius = kDotPitch * 0.38;
  for (int x = 0; x < kColumns; ++x) {
    const CDotColumn& column = face_[static_cast<std::size_t>(x)];
    for (int row = 0; row < kGlyphRows; ++row) {
      const bool lit = (column.rows & (1 << row)) != 0;
      painter.setBrush(lit ? QColor::fromRgb(column.rgb) : kUnlit);
      const QPointF centre(kMargin + (x + 0.5) * kDotPitch, kMargin + (row + 0.5) * kDotPitch);
      painter.drawEllipse(centre, radius, radius);
    }
  }
}
