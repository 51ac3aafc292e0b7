#pragma once

#include <QStringList>

class QComboBox;

// Fills a combo box with its template's entries. A sorted box shows them in
// the order a sorted Windows list keeps (case-insensitive), an unsorted one in
// the given order. Typed text never becomes an entry.
void FillComboEntries(QComboBox& combo, QStringList entries, bool sorted);
