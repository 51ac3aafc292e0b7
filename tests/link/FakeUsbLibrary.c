// A stand-in for libbetabriteusb.so. Built in variants that each lack one
// entry point (FAKE_USB_WITHOUT_OPEN, _WRITE, _READ, _CLOSE).

#include <stdio.h>
#include <string.h>

#include "link/UsbBulkApi.h"
#include "tests/link/FakeUsbControl.h"

static FakeUsbControl control;

__attribute__((visibility("default"))) FakeUsbControl* FakeUsb_Control(void) { return &control; }

// "%.0d" prints nothing for 0: Open and Close are written down by name.
static void Record(char name, int argument) {
  size_t used = strlen(control.calls);
  snprintf(control.calls + used, sizeof control.calls - used, "%s%c%.0d", used ? " " : "", name,
           argument);
}

#ifndef FAKE_USB_WITHOUT_OPEN
int USBBULK_CALL USBBULK_Open(void) {
  Record('O', 0);
  return control.openResult;
}
#endif

#ifndef FAKE_USB_WITHOUT_WRITE
int USBBULK_CALL USBBULK_Write(unsigned char* buffer, int length) {
  Record('W', length);
  if (++control.writes == control.refuseWrite) return control.refuseResult;
  if (length > 0 && control.writtenLength + length <= (int)sizeof control.written) {
    memcpy(control.written + control.writtenLength, buffer, (size_t)length);
    control.writtenLength += length;
  }
  return length;
}
#endif

#ifndef FAKE_USB_WITHOUT_READ
int USBBULK_CALL USBBULK_Read(unsigned char* buffer, int argument) {
  Record('R', argument);
  // The caller hands a 2000-byte buffer: the whole of it may be used.
  memset(buffer, 0xA5, 2000);
  return 0;
}
#endif

#ifndef FAKE_USB_WITHOUT_CLOSE
void USBBULK_CALL USBBULK_Close(void) { Record('C', 0); }
#endif
