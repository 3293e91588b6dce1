/* Internal to our reader libraries and their tests: replaces the transport
 * through which kxrdr reaches readers, so the protocol can be exercised
 * in-process against a virtual reader without sockets. Not part of the public
 * C API. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

/* Same contract as kxtcp_transceive / kxusb_transceive (kxport.h), with the
 * context given at installation. */
typedef int (*kxrdr_transport_fn)(void *context, int portHandle, unsigned char busAddress,
                                  unsigned char command, const unsigned char *request,
                                  int requestLength, unsigned char *status, unsigned char *answer,
                                  int answerCapacity, int *answerLength);

/* Installs fn for every port handle; a null fn restores the real transports. */
void kxrdr_set_transport(kxrdr_transport_fn fn, void *context);

#ifdef __cplusplus
}
#endif
