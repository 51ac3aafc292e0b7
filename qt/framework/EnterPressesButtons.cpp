#include "qt/framework/EnterPressesButtons.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

class CEnterPressesButton : public QObject {
 public:
  explicit CEnterPressesButton(QObject* parent) : QObject(parent) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    // Shift, Ctrl or Alt with Enter mean something else; the keypad flag is
    // the keypad's Enter itself.
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    auto* button = static_cast<QPushButton*>(watched);
    if (!key->isAutoRepeat() && button->isEnabled()) button->click();
    return true;
  }
};

}  // namespace

void LetEnterPressButtons(QWidget& form) {
  auto* filter = new CEnterPressesButton(&form);
  for (QPushButton* button : form.findChildren<QPushButton*>()) button->installEventFilter(filter);
}
