#pragma once

// The fake USB bulk library's control block: the test sets what the entry
// points answer and reads back every call they got. The test keeps the
// library loaded itself, so the block outlives the link's dlopen/dlclose.

typedef struct FakeUsbControl {
  int openResult;     // what USBBULK_Open returns
  int refuseWrite;    // 1-based number of the write that is refused; 0: none
  int refuseResult;   // what the refused write returns
  int writes;         // writes so far
  char calls[512];    // "O W256 R1 ... C": Write with its length, Read with its integer
  int writtenLength;  // every accepted chunk, concatenated
  unsigned char written[8192];
} FakeUsbControl;

typedef FakeUsbControl* (*FakeUsbControlFn)(void);
