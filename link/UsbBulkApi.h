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

// The vendor's Windows library is a 32-bit DLL whose entry points use the
// stdcall convention: the callee removes its arguments from the stack. A
// caller that assumed the C convention would leave the stack off by the
// arguments' size after every call. (Elsewhere, and on 64-bit Windows, there
// is one convention and the word means nothing.)
#if defined(_WIN32)
#define USBBULK_CALL __stdcall
#else
#define USBBULK_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int(USBBULK_CALL* UsbBulkOpenFn)(void);
typedef int(USBBULK_CALL* UsbBulkWriteFn)(unsigned char* buffer, int length);
typedef int(USBBULK_CALL* UsbBulkReadFn)(unsigned char* buffer, int argument);
typedef void(USBBULK_CALL* UsbBulkCloseFn)(void);

int USBBULK_CALL USBBULK_Open(void);
int USBBULK_CALL USBBULK_Write(unsigned char* buffer, int length);
int USBBULK_CALL USBBULK_Read(unsigned char* buffer, int argument);
void USBBULK_CALL USBBULK_Close(void);

#ifdef __cplusplus
}
#endif
