#pragma once

#include <QWidget>

// A group frame as dialog templates draw it: an etched rectangle whose title
// interrupts its top line. It only draws; it takes no input, so the controls
// inside it stay reachable.
class CGroupFrame : public QWidget {
  Q_OBJECT
 public:
  CGroupFrame(const QString& title, QWidget* parent);

  QString Title() const { return title_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
};
