#include "qt/framework/ComboEntries.h"

#include <QComboBox>
#include <algorithm>

void FillComboEntries(QComboBox& combo, QStringList entries, bool sorted) {
  if (sorted) {
    std::stable_sort(entries.begin(), entries.end(), [](const QString& a, const QString& b) {
      return a.compare(b, Qt::CaseInsensitive) < 0;
    });
  }
  combo.clear();
  combo.addItems(entries);
  combo.setInsertPolicy(QComboBox::NoInsert);
  combo.setCurrentIndex(-1);
}
