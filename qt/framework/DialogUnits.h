#pragma once

#include <QFont>
#include <QRect>

// Converts dialog-template units to pixels the way Windows does for a dialog
// font: a horizontal unit is a quarter of the font's average character width,
// a vertical unit an eighth of its height. The average width is Windows' own
// definition, the width of the 52 letters A-Z and a-z divided by 26 and
// rounded up by half, not the font's advertised average.
class CDialogUnits {
 public:
  explicit CDialogUnits(const QFont& font);

  // The 8-point sans serif that stands in for "MS Sans Serif", the font of
  // the scoreboard form and of every dialog.
  static QFont FormFont();

  int X(int du) const;
  int Y(int du) const;
  QRect ToPixels(int x, int y, int width, int height) const;
  QSize ToPixels(int width, int height) const;

  int AverageCharWidth() const { return baseX_; }
  int CharHeight() const { return baseY_; }

 private:
  int baseX_;
  int baseY_;
};

// The largest pixel size of family whose cell height (ascent plus descent)
// stays within cellHeight: what a font created with a positive height of
// cellHeight logical units gets on Windows.
QFont FontWithCellHeight(const QString& family, int cellHeight);
