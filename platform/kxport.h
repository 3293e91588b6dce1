/* Internal to our reader libraries: the one call through which the protocol
 * library (kxrdr) reaches a reader over an open USB or TCP port. Not part of
 * the public C API of any library. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define KXPORT_USB_BIT 0x10000000
#define KXPORT_TCP_BIT 0x20000000

/* Sends one request frame (bus address, command byte, request bytes) on the
 * port and waits, within the port's "TIMEOUT", for the matching answer.
 * Returns 0 and fills *status and the answer bytes (at most answerCapacity;
 * *answerLength gets the count), or a negative library error of the port's
 * library (closed or unknown handle, link lost, time-out, bad frame, answer
 * too long for the buffer). */
int kxtcp_transceive(int portHandle, unsigned char busAddress, unsigned char command,
                     const unsigned char *request, int requestLength, unsigned char *status,
                     unsigned char *answer, int answerCapacity, int *answerLength);
int kxusb_transceive(int portHandle, unsigned char busAddress, unsigned char command,
                     const unsigned char *request, int requestLength, unsigned char *status,
                     unsigned char *answer, int answerCapacity, int *answerLength);

#ifdef __cplusplus
}
#endif
