/* kxtcp: the TCP transport of the reader libraries.
 *
 * A port handle is positive with bit 29 (0x20000000) set; negative results
 * are error codes with a text from KXTCP_GetErrorText. Each handle is meant
 * for one thread at a time; different handles may be used in parallel.
 * With KX_LOOPBACK_ONLY=1 in the environment every address outside
 * 127.0.0.0/8 and ::1 is refused before any packet is sent. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define KXTCP_ERR_UNKNOWN_HANDLE (-1201)  /* closed or never opened handle */
#define KXTCP_ERR_BAD_ARGUMENT (-1202)    /* null pointer, port outside 1..65535, bad length */
#define KXTCP_ERR_BAD_ADDRESS (-1203)     /* host address not understood or not resolved */
#define KXTCP_ERR_NOT_LOOPBACK (-1204)    /* refused by the loopback guard */
#define KXTCP_ERR_REFUSED (-1205)         /* nobody listens at that address and port */
#define KXTCP_ERR_CONNECT_TIMEOUT (-1206) /* no connection within the connect time-out */
#define KXTCP_ERR_CONNECT (-1207)         /* any other connect failure */
#define KXTCP_ERR_TIMEOUT (-1208)         /* no complete answer within "TIMEOUT" */
#define KXTCP_ERR_LINK_LOST (-1209)       /* the reader closed the connection */
#define KXTCP_ERR_BAD_FRAME (-1210)       /* answer with wrong marker, length, CRC or command */
#define KXTCP_ERR_ANSWER_TOO_LONG (-1211) /* answer longer than the caller's buffer */
#define KXTCP_ERR_BAD_PARAMETER (-1212)   /* unknown parameter name or value */
#define KXTCP_ERR_NO_RESOURCES (-1213)    /* no socket or handle available */

/* Time allowed for establishing a connection, in milliseconds. */
#define KXTCP_CONNECT_TIMEOUT_MS 5000
/* Answer time-out of a new port until "TIMEOUT" is set. */
#define KXTCP_DEFAULT_TIMEOUT_MS 5000

/* Connects to host (numeric IPv4/IPv6 or a name) and port (1..65535). */
int KXTCP_Connect(const char *host, int port);
/* Closes the port; 0 or KXTCP_ERR_UNKNOWN_HANDLE. */
int KXTCP_DisConnect(int portHandle);
/* name "TIMEOUT", value the answer time-out in milliseconds (1..3600000). */
int KXTCP_SetSocketPara(int portHandle, const char *name, const char *value);
/* Writes the text of errorCode (at most 1024 bytes with the terminating 0). */
int KXTCP_GetErrorText(int errorCode, char *text);

#ifdef __cplusplus
}
#endif
