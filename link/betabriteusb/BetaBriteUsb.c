/* libbetabriteusb.so: the USB bulk channel to a BetaBrite Prism sign over
 * libusb-1.0. The program loads it by plain name at every send and calls
 * USBBULK_Open once, USBBULK_Write and USBBULK_Read for each chunk of up to
 * 256 bytes, then USBBULK_Close. One sign, one caller at a time. */

#include <libusb.h>
#include <stddef.h>

#include "link/UsbBulkApi.h"

#define SIGN_VENDOR_ID 0x8765
#define SIGN_PRODUCT_ID 0x1234
#define SIGN_INTERFACE 0
#define SIGN_BULK_OUT 0x02
#define SIGN_BULK_IN 0x82
/* A 256-byte chunk needs milliseconds; a sign that takes nothing for this
 * long is not listening. */
#define WRITE_TIMEOUT_MS 2000
/* The sign seldom answers; a read must not hold the send up. */
#define READ_TIMEOUT_MS 20
/* The caller's read buffer holds 2000 bytes: at most three reads of one
 * high-speed bulk packet each. */
#define READ_BUFFER_SIZE 2000
#define READ_PACKET_SIZE 512

static libusb_context* usbContext = NULL;
static libusb_device_handle* signHandle = NULL;
static int kernelDriverDetached = 0;

void USBBULK_CALL USBBULK_Close(void) {
  if (signHandle != NULL) {
    libusb_release_interface(signHandle, SIGN_INTERFACE);
    if (kernelDriverDetached) libusb_attach_kernel_driver(signHandle, SIGN_INTERFACE);
    libusb_close(signHandle);
  }
  if (usbContext != NULL) libusb_exit(usbContext);
  signHandle = NULL;
  usbContext = NULL;
  kernelDriverDetached = 0;
}

int USBBULK_CALL USBBULK_Open(void) {
  USBBULK_Close();
  if (libusb_init(&usbContext) != 0) {
    usbContext = NULL;
    return 0;
  }
  signHandle = libusb_open_device_with_vid_pid(usbContext, SIGN_VENDOR_ID, SIGN_PRODUCT_ID);
  if (signHandle == NULL) {
    USBBULK_Close();
    return 0;
  }
  if (libusb_kernel_driver_active(signHandle, SIGN_INTERFACE) == 1) {
    if (libusb_detach_kernel_driver(signHandle, SIGN_INTERFACE) != 0) {
      USBBULK_Close();
      return 0;
    }
    kernelDriverDetached = 1;
  }
  if (libusb_claim_interface(signHandle, SIGN_INTERFACE) != 0) {
    USBBULK_Close();
    return 0;
  }
  return 1;
}

int USBBULK_CALL USBBULK_Write(unsigned char* buffer, int length) {
  if (signHandle == NULL || buffer == NULL || length < 1) return 0;
  int transferred = 0;
  int result = libusb_bulk_transfer(signHandle, SIGN_BULK_OUT, buffer, length, &transferred,
                                    WRITE_TIMEOUT_MS);
  /* Only a whole chunk counts as taken: the caller moves on to the next
   * chunk on any positive count, so part of one (a time-out half-way) must
   * read as a refusal, or the sign would get a packet with a hole in it. */
  if (result == 0 && transferred == length) return transferred;
  return result < 0 ? result : -1;
}

/* argument: how many bulk packets to try to read, each with a short time
 * limit; the count is capped to what the 2000-byte buffer holds. Returns
 * the bytes read, or a negative libusb error. */
int USBBULK_CALL USBBULK_Read(unsigned char* buffer, int argument) {
  if (signHandle == NULL || buffer == NULL) return 0;
  int reads = argument < 1 ? 1 : argument;
  if (reads > READ_BUFFER_SIZE / READ_PACKET_SIZE) reads = READ_BUFFER_SIZE / READ_PACKET_SIZE;
  int total = 0;
  for (int i = 0; i < reads; ++i) {
    int transferred = 0;
    int result = libusb_bulk_transfer(signHandle, SIGN_BULK_IN, buffer + total, READ_PACKET_SIZE,
                                      &transferred, READ_TIMEOUT_MS);
    total += transferred;
    if (result == LIBUSB_ERROR_TIMEOUT) break;
    if (result != 0) return total > 0 ? total : result;
  }
  return total;
}
