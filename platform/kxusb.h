/* kxusb: the USB transport of the reader libraries, over the simulated USB
 * bus (see kxusbbus.h: a folder given by KXUSB_BUS_DIR with one Unix-domain
 * socket per attached reader).
 *
 * A port handle is positive with bit 28 (0x10000000) set; negative results
 * are error codes with a text from KXUSB_GetErrorText. Each handle is meant
 * for one thread at a time; different handles may be used in parallel. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define KXUSB_ERR_UNKNOWN_HANDLE (-1101)  /* closed or never opened handle */
#define KXUSB_ERR_BAD_ARGUMENT (-1102)    /* null pointer or bad length */
#define KXUSB_ERR_NO_DEVICE (-1103)       /* no reader with that device ID is attached */
#define KXUSB_ERR_NO_READER_FOUND (-1104) /* the scan found no reader to open */
#define KXUSB_ERR_BUS (-1105)             /* the bus folder cannot be read */
#define KXUSB_ERR_INDEX (-1106)           /* scan list index out of range */
#define KXUSB_ERR_TIMEOUT (-1108)         /* no complete answer within "TIMEOUT" */
#define KXUSB_ERR_LINK_LOST (-1109)       /* the reader was unplugged or closed the link */
#define KXUSB_ERR_BAD_FRAME (-1110)       /* answer with wrong marker, length, CRC or command */
#define KXUSB_ERR_ANSWER_TOO_LONG (-1111) /* answer longer than the caller's buffer */
#define KXUSB_ERR_BAD_PARAMETER (-1112)   /* unknown parameter name or value */
#define KXUSB_ERR_NO_RESOURCES (-1113)    /* no socket or handle available */

#define KXUSB_DEFAULT_TIMEOUT_MS 5000

/* Refreshes the scan list (any mode; the manager passes 15, 0). Returns the
 * number of attached readers or a negative error. */
int KXUSB_Scan(int mode, int reserved);
/* Scans and opens the first reader (lowest device ID) that answers the link. */
int KXUSB_ScanAndOpen(int mode, int reserved);
/* Opens the reader with that device ID (a scan beforehand is not needed). */
int KXUSB_OpenDevice(unsigned int deviceId);
int KXUSB_CloseDevice(int portHandle);
/* name "TIMEOUT", value the answer time-out in milliseconds (1..3600000). */
int KXUSB_SetDevicePara(int portHandle, const char *name, const char *value);
/* Number of readers in the list of the last scan. */
int KXUSB_GetScanListSize(void);
/* name "Device-ID" gives 8 upper-case hex digits, "DeviceName" the reader's
 * display name; text receives at most 1024 bytes with the terminating 0. */
int KXUSB_GetScanListPara(int index, const char *name, char *text);
int KXUSB_GetErrorText(int errorCode, char *text);

#ifdef __cplusplus
}
#endif
