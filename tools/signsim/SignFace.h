#pragma once

#include <QTimer>
#include <QWidget>

#include "tools/signsim/DotRaster.h"

struct CSignDisplay;

// The sign's face: kColumns by seven round dots on a dark board, lit in the
// colours of the text. A held text stands centred; a rotating one scrolls
// from right to left, one column per tick, for as long as it is shown.
class CSignFace : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kColumns = 80;
  static constexpr int kDotPitch = 10;  // pixels from one dot to the next
  static constexpr int kMargin = 12;
  static constexpr int kTickMilliseconds = 40;

  explicit CSignFace(QWidget* parent = nullptr);

  void ShowDisplay(const CSignDisplay& display);

  // Moves a rotating text on by one column (the timer's tick).
  void Tick();

  const std::vector<CDotColumn>& Face() const { return face_; }
  bool IsRotating() const { return strip_.rotate; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Recompute();

  CDotStrip strip_;
  std::vector<CDotColumn> face_;
  int step_ = 0;
  QTimer timer_;
};
