#pragma once

#include <QWidget>

#include "qt/framework/DialogUnits.h"

class QComboBox;

// Places the controls of a dialog template on a form or dialog: positions in
// dialog units of the window's font, and each control's id as its dynamic
// property "controlId" and its object name "control<id>" (id 0: a control
// without an id, such as a label or a group frame).
class CTemplateLayout {
 public:
  explicit CTemplateLayout(QWidget& window);

  const CDialogUnits& Units() const { return units_; }

  // Fixes the window to the template's size.
  void SetTemplateSize(int width, int height);

  void Place(QWidget& control, int id, int x, int y, int width, int height) const;
  // A combo box's template height includes its dropped list; the closed box
  // is one line high.
  void PlaceCombo(QComboBox& combo, int id, int x, int y, int width, int droppedHeight) const;

  // The id a control was placed with; 0 when it has none.
  static int ControlId(const QWidget& control);

 private:
  QWidget& window_;
  CDialogUnits units_;
};
