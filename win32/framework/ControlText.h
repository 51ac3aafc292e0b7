#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The controls speak UTF-16, the document Windows-1252: every text crosses
// here, and nowhere else.
std::wstring WideFromWindows1252(const std::string& text);
// charactersLost (when given): characters that Windows-1252 lacks, left out.
std::string Windows1252FromWide(const std::wstring& text, int* charactersLost = nullptr);

std::wstring WindowTextOf(HWND window);
std::string ControlText(HWND dialog, int id, int* charactersLost = nullptr);
// Writes only a real change, so the caret stays where the operator left it
// and no change notification comes back for nothing.
void SetControlText(HWND dialog, int id, const std::string& text);

// Combo boxes: the entries in the given order (a sorted box sorts them).
void FillComboEntries(HWND dialog, int id, const std::vector<const char*>& entries);
// Selects the entry whose text is exactly entry; none for "" or no match.
void SelectExactEntry(HWND dialog, int id, const std::string& entry);
// The list's case-insensitive prefix search; no match leaves no selection.
void SelectByPrefix(HWND dialog, int id, const std::string& prefix);
// The text of the selected entry; nothing when none is selected.
bool SelectedEntry(HWND dialog, int id, std::string& text);

void EnableControl(HWND dialog, int id, bool enabled);
