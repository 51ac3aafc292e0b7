#pragma once

#include <windows.h>

// An Arial font of normal weight whose cell height is cellHeight pixels on a
// 96-dpi screen, scaled to the screen's own resolution so the form's big
// texts keep their size beside controls that the dialog font scales. The
// caller deletes it.
HFONT CreateArialFont(int cellHeight, bool underline = false);
