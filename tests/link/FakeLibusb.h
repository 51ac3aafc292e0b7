#pragma once

// What the fake libusb answers, and what it was asked: the tests build our
// USB library against it, so its handling of each transfer outcome can be
// checked without a sign.

#ifdef __cplusplus
extern "C" {
#endif

typedef struct FakeLibusb {
  int devicePresent;     // libusb_open_device_with_vid_pid finds the sign
  int transferResult;    // what each OUT bulk transfer returns
  int transferredLimit;  // at most this many bytes of an OUT transfer go out; -1: all
  int lastLength;        // the length of the last OUT transfer
} FakeLibusb;

extern FakeLibusb fakeLibusb;

#ifdef __cplusplus
}
#endif
