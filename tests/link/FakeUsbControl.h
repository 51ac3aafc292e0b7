#pragma once

/* The fake USB bulk library's control block: the test sets what the entry
 * points answer and reads back every call they got. The test keeps the
 * library loaded itself, so the block outlives the link's dlopen/dlclose. */

#define FAKE_USB_MAX_CALLS 64
#define FAKE_USB_MAX_BYTES 8192

typedef struct FakeUsbCall {
  char name;    /* 'O'pen, 'W'rite, 'R'ead, 'C'lose */
  int argument; /* Write: the chunk length; Read: the integer passed */
} FakeUsbCall;

typedef struct FakeUsbControl {
  int openResult;   /* what USBBULK_Open returns */
  int refuseWrite;  /* 1-based number of the write that is refused; 0: none */
  int refuseResult; /* what the refused write returns */
  int callCount;
  FakeUsbCall calls[FAKE_USB_MAX_CALLS];
  int writtenLength; /* every accepted chunk, concatenated */
  unsigned char written[FAKE_USB_MAX_BYTES];
} FakeUsbControl;

typedef FakeUsbControl* (*FakeUsbControlFn)(void);
