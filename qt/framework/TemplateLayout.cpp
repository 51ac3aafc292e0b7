#include "qt/framework/TemplateLayout.h"

#include <QComboBox>
#include <QLabel>

namespace {

// A closed drop-down in the form's font is 13 dialog units high.
constexpr int kClosedComboHeight = 13;

}  // namespace

CTemplateLayout::CTemplateLayout(QWidget& window) : window_(window), units_(window.font()) {}

void CTemplateLayout::SetTemplateSize(int width, int height) {
  window_.setFixedSize(units_.ToPixels(width, height));
}

void CTemplateLayout::Place(QWidget& control, int id, int x, int y, int width, int height) const {
  QRect area = units_.ToPixels(x, y, width, height);
  if (auto* label = qobject_cast<QLabel*>(&control)) {
    // The stand-in font runs a little wider than the one the template was
    // drawn for; a label's text is not cut short for that.
    area.setWidth(qMax(area.width(), label->sizeHint().width()));
  }
  control.setGeometry(area);
  if (id != 0) {
    control.setProperty("controlId", id);
    control.setObjectName(QStringLiteral("control%1").arg(id));
  }
}

void CTemplateLayout::PlaceCombo(QComboBox& combo, int id, int x, int y, int width,
                                 int droppedHeight) const {
  Place(combo, id, x, y, width, kClosedComboHeight);
  // The dropped list shows as many entries as the template's height holds.
  const int listHeight = units_.Y(droppedHeight - kClosedComboHeight);
  const int rowHeight = qMax(1, combo.fontMetrics().height() + 2);
  combo.setMaxVisibleItems(qMax(1, listHeight / rowHeight));
}

int CTemplateLayout::ControlId(const QWidget& control) {
  return control.property("controlId").toInt();
}
