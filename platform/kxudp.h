/* kxudp: UDP discovery and network setup of LAN readers.
 *
 * Discovery: KXUDP_Discover(KXUDP_START, address, &para) starts a search on
 * the local interface with that IPv4 address. A thread of the library sends a
 * discovery request every para.requestIntervalMs milliseconds (the manager
 * passes 500) to the interface's broadcast address, or to KXUDP_TARGET
 * ("host:port") when that environment variable is set, and reports through
 * para.callback:
 *   - KXUDP_EVENT_NEW     the first answer of a reader (by device ID),
 *   - KXUDP_EVENT_CHANGED an answer whose content differs from the last one,
 *   - KXUDP_EVENT_GONE    a reader silent for para.goneTimeoutMs milliseconds
 *                         (the manager passes 2000); only the device ID is valid.
 * The callback runs on the library's thread; the report is valid only during
 * the call. It may stop the discovery it belongs to (the stop then returns
 * at once and the thread ends after the callback).
 * KXUDP_Discover(KXUDP_STOP, address, NULL) stops it and returns after the
 * thread has ended; no report arrives after that.
 *
 * Setup: KXUDP_Setup sends a network setup request to the reader with the
 * given device ID and MAC address and waits up to 2000 ms for its
 * acknowledgement. The reader stores the new settings and restarts with them.
 *
 * With KX_LOOPBACK_ONLY=1 in the environment, interface addresses and
 * targets outside 127.0.0.0/8 are refused before anything is sent.
 * Every function returns 0 or a negative error with a text from
 * KXUDP_GetErrorText. */
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define KXUDP_ERR_BAD_ARGUMENT (-1301) /* null pointer, bad mode or parameter block */
#define KXUDP_ERR_BAD_ADDRESS (-1302)  /* interface or setup address not IPv4 dotted text */
#define KXUDP_ERR_NOT_LOOPBACK (-1303) /* refused by the loopback guard */
#define KXUDP_ERR_RUNNING (-1304)      /* a discovery already runs on that address */
#define KXUDP_ERR_NOT_RUNNING (-1305)  /* no discovery runs on that address */
#define KXUDP_ERR_SOCKET (-1306)       /* socket could not be created or bound */
#define KXUDP_ERR_NO_BROADCAST (-1307) /* the interface has no broadcast address */
#define KXUDP_ERR_TIMEOUT (-1308)      /* the reader did not acknowledge the setup */
#define KXUDP_ERR_REJECTED (-1309)     /* the reader refused the setup */
#define KXUDP_ERR_BAD_TARGET (-1310)   /* KXUDP_TARGET is not "host:port" */
#define KXUDP_ERR_SEND (-1311)         /* the datagram could not be sent */

#define KXUDP_STOP 0
#define KXUDP_START 1

#define KXUDP_EVENT_NEW 1
#define KXUDP_EVENT_GONE 2
#define KXUDP_EVENT_CHANGED 3

/* Validity bits of KXUDP_REPORT.validFlags and KXUDP_SETUP.validFlags. */
#define KXUDP_VALID_DEVICE_ID 0x01
#define KXUDP_VALID_MAC 0x02
#define KXUDP_VALID_IP 0x04
#define KXUDP_VALID_NETMASK 0x08
#define KXUDP_VALID_GATEWAY 0x10
#define KXUDP_VALID_PORT 0x20
#define KXUDP_VALID_TEXT1 0x40
#define KXUDP_VALID_TEXT2 0x80

/* Network flags. */
#define KXUDP_NET_DHCP 0x80
#define KXUDP_NET_SECURITY 0x40
#define KXUDP_NET_DNS 0x20

/* The UDP port readers listen on for discovery and setup requests. */
#define KXUDP_READER_PORT 10002

typedef struct KXUDP_REPORT
{
    int eventKind;             /* KXUDP_EVENT_... */
    unsigned int readerType;   /* reader type code */
    int marker;                /* 1 for every reported reader */
    unsigned int networkFlags; /* KXUDP_NET_... */
    unsigned int validFlags;   /* KXUDP_VALID_...: which of the fields below hold data */
    unsigned int deviceId;
    char mac[18];     /* "00-11-22-33-44-55" */
    char ip[16];      /* dotted IPv4 */
    char netmask[16]; /* dotted IPv4 */
    char gateway[16]; /* dotted IPv4 */
    unsigned int port;
    char text1[64]; /* the reader's type name */
    char text2[64]; /* the reader's firmware or host name, may be empty */
} KXUDP_REPORT;

typedef void (*KXUDP_REPORT_CALLBACK)(void *context, const KXUDP_REPORT *report);

typedef struct KXUDP_DISCOVER_PARA
{
    KXUDP_REPORT_CALLBACK callback;
    void *context;         /* passed back unchanged to the callback */
    int requestIntervalMs; /* time between two discovery requests (1..60000) */
    int goneTimeoutMs;     /* silence after which a reader counts as gone (>= requestIntervalMs) */
} KXUDP_DISCOVER_PARA;

typedef struct KXUDP_SETUP
{
    unsigned int readerType;
    unsigned int deviceId;
    char mac[18];              /* "00-11-22-33-44-55" */
    unsigned int networkFlags; /* bit 7 DHCP; the manager passes 131 or 3 */
    unsigned int validFlags;   /* bits 0 and 1 always; 2 ip, 3 netmask, 4 gateway, 5 port */
    char ip[16];
    char netmask[16];
    char gateway[16];
    unsigned int port;
} KXUDP_SETUP;

int KXUDP_Discover(int mode, const char *interfaceAddress, const KXUDP_DISCOVER_PARA *para);
/* interfaceAddress: the local interface to send from; NULL or "" takes the
 * interface of a running discovery that has seen this device ID. */
int KXUDP_Setup(const char *interfaceAddress, const KXUDP_SETUP *setup);
int KXUDP_GetErrorText(int errorCode, char *text);

#ifdef __cplusplus
}
#endif
