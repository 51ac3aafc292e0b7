#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QString>

// A push button that looks like a web link: its caption in blue underlined
// text on the button face, red while the mouse button is held down on it, a
// pointing hand over it. Clicking opens its address with the desktop's
// default handler; a failure to open is not reported.
class CHyperlinkButton : public QAbstractButton {
  Q_OBJECT
 public:
  CHyperlinkButton(const QString& caption, const QString& address, QWidget* parent = nullptr);

  QString Address() const { return address_; }
  // Opens the address; what the desktop does with it is not looked at.
  void OpenWebAddress() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString address_;
  // Read once: a later change of the colour scheme does not reach the button.
  QColor faceColor_;
};
