/* kxrdr: the reader protocol library.
 *
 * Builds the request of each reader command, sends it through the transport of
 * the port handle (kxusb for handles with bit 28, kxtcp for bit 29), checks the
 * answer and keeps the last library error and reader status of each reader
 * handle. doc/reader-protocol.md describes the payload of every command.
 *
 * Results: every command returns 0 on success, the reader's status byte
 * (1..255) when the reader answered with a status other than 0, or a negative
 * library error. Answers of a status other than 0 are still copied (the reads
 * with 147 "more events" and 148 "more data" carry data).
 *
 * Buffers: the caller's buffers have the sizes named at each command; an answer
 * that would not fit fails with a negative error and nothing is written past
 * the buffer. Text buffers take at most KXRDR_TEXT_SIZE bytes including the
 * terminating zero.
 *
 * Threads: a reader handle is used by one thread at a time; different handles
 * may be used from different threads at once. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define KXRDR_TEXT_SIZE 1024
#define KXRDR_INFO_SIZE 1024
#define KXRDR_DIAG_SIZE 1024
#define KXRDR_BLOCK_SIZE 16
#define KXRDR_EXCHANGE_SIZE 32768
#define KXRDR_ISO_SIZE 4096
#define KXRDR_PIGGYBACK_SIZE 1024

/* Library errors of kxrdr. Errors of the transports pass through unchanged
 * (kxusb and kxtcp codes, see their headers). */
#define KXRDR_ERR_UNKNOWN_HANDLE (-4000) /* no reader with this handle */
#define KXRDR_ERR_PORT_HANDLE (-4001)    /* not a USB or TCP port handle */
#define KXRDR_ERR_ARGUMENT (-4002)       /* null buffer, negative length, value out of range */
#define KXRDR_ERR_UNKNOWN_PARA (-4003)   /* unknown reader parameter name */
#define KXRDR_ERR_PARA_VALUE (-4004)     /* value not allowed for the parameter */
#define KXRDR_ERR_ANSWER (-4005)         /* answer of the wrong size for the command */
#define KXRDR_ERR_REQUEST_SIZE (-4006)   /* request too long for the frame support in force */
#define KXRDR_ERR_HANDLES (-4007)        /* no free reader handle */

/* Reader status bytes with a meaning of their own. */
#define KXRDR_STATUS_OK 0x00
#define KXRDR_STATUS_NO_TRANSPONDER 0x01
#define KXRDR_STATUS_TRANSPONDER_ERROR 0x02
#define KXRDR_STATUS_AUTHENTICATION 0x03
#define KXRDR_STATUS_NO_APPLICATION 0x04
#define KXRDR_STATUS_BAD_ADDRESS 0x05
#define KXRDR_STATUS_MEMORY 0x10
#define KXRDR_STATUS_PARAMETER 0x11
#define KXRDR_STATUS_TABLE_CRC 0x12
#define KXRDR_STATUS_TABLE_SEQUENCE 0x13
#define KXRDR_STATUS_TABLE_DATA 0x14
#define KXRDR_STATUS_UNKNOWN_COMMAND 0x80
#define KXRDR_STATUS_LENGTH 0x81
#define KXRDR_STATUS_NOT_AVAILABLE 0x82
#define KXRDR_STATUS_DEVICE_SILENT 0x83
#define KXRDR_STATUS_NO_DATA 0x92     /* 146: nothing (more) to read */
#define KXRDR_STATUS_MORE_EVENTS 0x93 /* 147: further events follow */
#define KXRDR_STATUS_MORE_DATA 0x94   /* 148: further records follow */

/* Handles and parameters. */
int KXRDR_NewReader(int portHandle);
int KXRDR_DeleteReader(int readerHandle);
/* "LOGFILENAME": trace file path (8-bit text); "LOGFILE": "1" writes the trace,
 * "0" stops it; "FRAMESUPPORT": "STANDARD" (requests up to 255 bytes) or
 * "ADVANCED" (requests up to KXRDR_EXCHANGE_SIZE bytes). */
int KXRDR_SetReaderPara(int readerHandle, const char *name, const char *value);
/* Puts the parameter's value text into value (KXRDR_TEXT_SIZE bytes). */
int KXRDR_GetReaderPara(int readerHandle, const char *name, char *value);

/* Error bookkeeping. GetLastError gives the library error of the handle's last
 * command (0 when it reached the reader) and its text; for a negative handle
 * (a failed KXRDR_NewReader) it gives that handle's own error. GetLastState
 * returns the status byte of the last answer (0 when the last command got no
 * answer) and puts its text into text. GetErrorText knows the codes of kxrdr,
 * kxusb and kxtcp. Each returns 0, or a negative error for an unknown handle. */
int KXRDR_GetLastError(int readerHandle, int *errorCode, char *text);
int KXRDR_GetLastState(int readerHandle, char *text);
int KXRDR_GetErrorText(int errorCode, char *text);
/* Text of a reader status byte (not a library call of the original set; used
 * by our tests and tools). */
int KXRDR_GetStatusText(int status, char *text);

/* Access table exchange: mode, flags and table as in doc/reader-protocol.md.
 * response has KXRDR_EXCHANGE_SIZE bytes; *responseLength gets the count. */
int KXRDR_0x1F_TZDataExchange(int readerHandle, unsigned char busAddress, unsigned char mode,
                              unsigned char flags, unsigned char table,
                              const unsigned char *request, int requestLength,
                              unsigned char *response, int *responseLength, int reserved);
int KXRDR_0x33_InitBuffer(int readerHandle, unsigned char busAddress);
int KXRDR_0x63_CPUReset(int readerHandle, unsigned char busAddress);
/* mode 0 restarts the reader (network blocks 40/41 take effect); mode 32 clears
 * the anti-passback state only. */
int KXRDR_0x64_SystemReset(int readerHandle, unsigned char busAddress, unsigned char mode);
/* info has KXRDR_INFO_SIZE bytes; it is zero-filled behind the record. */
int KXRDR_0x66_ReaderInfo(int readerHandle, unsigned char busAddress, unsigned char mode,
                          unsigned char *info, int reserved);
int KXRDR_0x6A_RFOnOff(int readerHandle, unsigned char busAddress, unsigned char flags);
/* data has KXRDR_DIAG_SIZE bytes; it is zero-filled behind the record. */
int KXRDR_0x6E_RdDiag(int readerHandle, unsigned char busAddress, unsigned char mode,
                      unsigned char *data);
/* Block address: block number in bits 0-5, bit 7 the permanent configuration,
 * without it the configuration in force. block has KXRDR_BLOCK_SIZE bytes. */
int KXRDR_0x80_ReadConfBlock(int readerHandle, unsigned char busAddress, unsigned char address,
                             unsigned char *block, int reserved);
int KXRDR_0x81_WriteConfBlock(int readerHandle, unsigned char busAddress, unsigned char address,
                              const unsigned char *block, int reserved);
/* Address 0xC0 (and 0xAF on the short-range access reader) resets the whole
 * configuration except the network blocks 40 and 41. */
int KXRDR_0x83_ResetConfBlock(int readerHandle, unsigned char busAddress, unsigned char address);
int KXRDR_0x87_SetSystemDate(int readerHandle, unsigned char busAddress, unsigned char century,
                             unsigned char year, unsigned char month, unsigned char day,
                             unsigned char timezone, unsigned char hour, unsigned char minute,
                             unsigned int milliseconds);
/* mode 2 reads blockCount blocks from firstBlock of a configuration bank (0 the
 * ordinary blocks, 32 the radio region) in the location (1 permanent, 0 in
 * force). buffer gets the block number, the block count and then 16 bytes per
 * block: it must hold 2 + 16 x blockCount bytes; blockCount is 1 to 63.
 * *blocksRead and *bytesRead (either may be null) get the counts. */
int KXRDR_0x8A_ReadConfiguration(int readerHandle, unsigned char busAddress, unsigned char mode,
                                 unsigned char bank, unsigned char location,
                                 unsigned char firstBlock, unsigned char blockCount,
                                 int *blocksRead, int *bytesRead, unsigned char *buffer);
/* Forwards request to the device on the reader's extension port. response
 * has KXRDR_PIGGYBACK_SIZE bytes. */
int KXRDR_0x9F_Piggyback_Command(int readerHandle, unsigned char busAddress, unsigned char port,
                                 unsigned char mode, unsigned char flags,
                                 const unsigned char *request, int requestLength,
                                 unsigned char *response, int *responseLength);
/* Host commands to the transponders in the field; response has KXRDR_ISO_SIZE bytes. */
int KXRDR_0xB0_ISOCmd(int readerHandle, unsigned char busAddress, const unsigned char *request,
                      int requestLength, unsigned char *response, int *responseLength,
                      int reserved);
int KXRDR_0xB2_ISOCmd(int readerHandle, unsigned char busAddress, const unsigned char *request,
                      int requestLength, unsigned char *response, int *responseLength,
                      int reserved);
int KXRDR_0xC3_DESFireCmd(int readerHandle, unsigned char busAddress, unsigned char command,
                          unsigned char mode, const unsigned char *request, int requestLength,
                          unsigned char *response, int *responseLength, int reserved);

#ifdef __cplusplus
}
#endif
