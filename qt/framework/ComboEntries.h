#pragma once

#include <QStringList>

class QComboBox;

// Fills a combo box with its template's entries. A sorted box shows them in
// the order a sorted Windows list keeps (case-insensitive), an unsorted one in
// the given order. Typed text never becomes an entry.
void FillComboEntries(QComboBox& combo, QStringList entries, bool sorted);

// The list's prefix search: the index of the first entry that begins with
// prefix, compared without regard to case; -1 when none does. An empty
// prefix matches nothing.
int FindEntryByPrefix(const QComboBox& combo, const QString& prefix);

// Selects the entry FindEntryByPrefix finds; when there is none the
// selection stays as it was. Returns whether an entry was selected. Raises no
// selection-change notification of the dialogs, which listen only to the
// operator's own choices.
bool SelectEntryByPrefix(QComboBox& combo, const QString& prefix);
