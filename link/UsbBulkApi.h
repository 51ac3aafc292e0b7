#pragma once

// The four entry points of the USB bulk library that carries packets to a
// BetaBrite Prism, as plain C functions. Shared by the loader, the library
// itself and the tests' fake library.
//
//   USBBULK_Open   nonzero when the connection to the sign is open
//   USBBULK_Write  writes one chunk (1..256 bytes); > 0 when it was accepted
//   USBBULK_Read   reads whatever the sign sent into a 2000-byte buffer;
//                  never waits long; the result is not used
//   USBBULK_Close  releases the connection

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*UsbBulkOpenFn)(void);
typedef int (*UsbBulkWriteFn)(unsigned char* buffer, int length);
typedef int (*UsbBulkReadFn)(unsigned char* buffer, int argument);
typedef void (*UsbBulkCloseFn)(void);

int USBBULK_Open(void);
int USBBULK_Write(unsigned char* buffer, int length);
int USBBULK_Read(unsigned char* buffer, int argument);
void USBBULK_Close(void);

#ifdef __cplusplus
}
#endif
