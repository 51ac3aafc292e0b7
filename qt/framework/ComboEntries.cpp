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

int FindEntryByPrefix(const QComboBox& combo, const QString& prefix) {
  if (prefix.isEmpty()) return -1;
  for (int i = 0; i < combo.count(); ++i) {
    if (combo.itemText(i).startsWith(prefix, Qt::CaseInsensitive)) return i;
  }
  return -1;
}

bool SelectEntryByPrefix(QComboBox& combo, const QString& prefix) {
  const int index = FindEntryByPrefix(combo, prefix);
  if (index < 0) return false;
  combo.setCurrentIndex(index);
  return true;
}
