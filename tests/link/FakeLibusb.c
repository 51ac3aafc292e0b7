// Just enough of libusb-1.0 for libbetabriteusb.so: one sign that can be
// present or not, and OUT transfers that end as the test says.

#include "tests/link/FakeLibusb.h"

#include <libusb.h>

FakeLibusb fakeLibusb;

static int context;
static int device;

int libusb_init(libusb_context** ctx) {
  *ctx = (libusb_context*)&context;
  return 0;
}
void libusb_exit(libusb_context* ctx) { (void)ctx; }

libusb_device_handle* libusb_open_device_with_vid_pid(libusb_context* ctx, uint16_t vendor,
                                                      uint16_t product) {
  (void)ctx, (void)vendor, (void)product;
  return fakeLibusb.devicePresent ? (libusb_device_handle*)&device : NULL;
}
void libusb_close(libusb_device_handle* handle) { (void)handle; }

int libusb_kernel_driver_active(libusb_device_handle* handle, int interface) {
  (void)handle, (void)interface;
  return 0;
}
int libusb_detach_kernel_driver(libusb_device_handle* handle, int interface) {
  (void)handle, (void)interface;
  return 0;
}
int libusb_attach_kernel_driver(libusb_device_handle* handle, int interface) {
  (void)handle, (void)interface;
  return 0;
}
int libusb_claim_interface(libusb_device_handle* handle, int interface) {
  (void)handle, (void)interface;
  return 0;
}
int libusb_release_interface(libusb_device_handle* handle, int interface) {
  (void)handle, (void)interface;
  return 0;
}

int libusb_bulk_transfer(libusb_device_handle* handle, unsigned char endpoint, unsigned char* data,
                         int length, int* transferred, unsigned int timeout) {
  (void)handle, (void)data, (void)timeout;
  if ((endpoint & LIBUSB_ENDPOINT_IN) != 0) {
    *transferred = 0;
    return LIBUSB_ERROR_TIMEOUT;
  }
  fakeLibusb.lastLength = length;
  int limit = fakeLibusb.transferredLimit;
  *transferred = limit < 0 || limit > length ? length : limit;
  return fakeLibusb.transferResult;
}
