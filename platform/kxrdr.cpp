#include "kxrdr.h"

#include "kxport.h"
#include "kxrdrhook.h"
#include "kxtcp.h"
#include "kxusb.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int StandardRequestLimit = 255;

struct Reader
{
    int portHandle = -1;
    int lastError = 0;
    int lastState = 0;
    bool advancedFrames = false;
    bool trace = false;
    std::string traceFile;
};

std::mutex g_mutex;
std::map<int, Reader> g_readers;
int g_nextHandle = 1;
kxrdr_transport_fn g_hook = nullptr;
void *g_hookContext = nullptr;

void putText(char *text, const std::string &value)
{
    if (!text)
        return;
    const std::size_t n = std::min<std::size_t>(value.size(), KXRDR_TEXT_SIZE - 1);
    std::memcpy(text, value.data(), n);
    text[n] = '\0';
}

const char *ownErrorText(int code)
{
    switch (code) {
    case 0:
        return "OK";
    case KXRDR_ERR_UNKNOWN_HANDLE:
        return "Unknown reader handle";
    case KXRDR_ERR_PORT_HANDLE:
        return "Invalid port handle";
    case KXRDR_ERR_ARGUMENT:
        return "Invalid argument";
    case KXRDR_ERR_UNKNOWN_PARA:
        return "Unknown reader parameter";
    case KXRDR_ERR_PARA_VALUE:
        return "Invalid value for the reader parameter";
    case KXRDR_ERR_ANSWER:
        return "Unexpected answer from the reader";
    case KXRDR_ERR_REQUEST_SIZE:
        return "Request too long for the frame support in force";
    case KXRDR_ERR_HANDLES:
        return "No free reader handle";
    default:
        return nullptr;
    }
}

// Codes of the transports: each library knows its own; ask the one the port
// belongs to first, then the other.
std::string errorText(int code, int portHandle)
{
    if (const char *own = ownErrorText(code))
        return own;
    char buffer[KXRDR_TEXT_SIZE] = {0};
    const bool usbFirst = portHandle >= 0 && (portHandle & KXPORT_USB_BIT);
    auto ask = [&](bool usb) {
        buffer[0] = '\0';
        const int rc = usb ? KXUSB_GetErrorText(code, buffer) : KXTCP_GetErrorText(code, buffer);
        return rc == 0 && buffer[0] != '\0';
    };
    if (ask(usbFirst) || ask(!usbFirst))
        return buffer;
    return "Unknown library error " + std::to_string(code);
}

const char *statusText(int status)
{
    switch (status) {
    case KXRDR_STATUS_OK:
        return "OK";
    case KXRDR_STATUS_NO_TRANSPONDER:
        return "No transponder in the reader's field";
    case KXRDR_STATUS_TRANSPONDER_ERROR:
        return "Transponder answer corrupted or missing";
    case KXRDR_STATUS_AUTHENTICATION:
        return "Transponder authentication failed";
    case KXRDR_STATUS_NO_APPLICATION:
        return "Application not found on the transponder";
    case KXRDR_STATUS_BAD_ADDRESS:
        return "Address outside the memory";
    case KXRDR_STATUS_MEMORY:
        return "Reader memory failure";
    case KXRDR_STATUS_PARAMETER:
        return "Parameter out of range";
    case KXRDR_STATUS_TABLE_CRC:
        return "Table check sum mismatch, previous tables kept";
    case KXRDR_STATUS_TABLE_SEQUENCE:
        return "Table transfer out of sequence";
    case KXRDR_STATUS_TABLE_DATA:
        return "Table data invalid";
    case KXRDR_STATUS_UNKNOWN_COMMAND:
        return "Unknown command";
    case KXRDR_STATUS_LENGTH:
        return "Request length wrong";
    case KXRDR_STATUS_NOT_AVAILABLE:
        return "Command not available on this reader";
    case KXRDR_STATUS_DEVICE_SILENT:
        return "External device does not answer";
    case KXRDR_STATUS_NO_DATA:
        return "No data";
    case KXRDR_STATUS_MORE_EVENTS:
        return "More events follow";
    case KXRDR_STATUS_MORE_DATA:
        return "More data follow";
    default:
        return nullptr;
    }
}

std::string statusTextOf(int status)
{
    if (const char *t = statusText(status))
        return t;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "Reader status 0x%02X", status & 0xFF);
    return buffer;
}

// Time stamp of a trace line: local date and time with milliseconds.
std::string timeStamp()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03ld",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, now.tv_nsec / 1000000L);
    return buffer;
}

// Appends one exchange to the trace file, 32 bytes per line. The file is
// opened per record so other writers (the reader log) can append in between.
void traceBytes(const std::string &file, const std::string &head, const unsigned char *data,
                int length)
{
    FILE *f = std::fopen(file.c_str(), "ab");
    if (!f)
        return;
    const std::string stamp = timeStamp();
    int offset = 0;
    do {
        std::string line = stamp + (offset == 0 ? " " + head : std::string(" +"));
        const int end = std::min(length, offset + 32);
        for (int i = offset; i < end; ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02X", data[i]);
            line += hex;
        }
        line += "\r\n";
        std::fwrite(line.data(), 1, line.size(), f);
        offset = end;
    } while (offset < length);
    std::fclose(f);
}

bool lookup(int readerHandle, Reader &copy)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_readers.find(readerHandle);
    if (it == g_readers.end())
        return false;
    copy = it->second;
    return true;
}

void record(int readerHandle, int error, int state)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_readers.find(readerHandle);
    if (it == g_readers.end())
        return;
    it->second.lastError = error;
    it->second.lastState = state;
}

// One request and its answer. Returns a negative library error or the status
// byte; the answer bytes are in answer (at most capacity, count in *length).
int exchange(int readerHandle, unsigned char bus, unsigned char command,
             const std::vector<unsigned char> &request, unsigned char *answer, int capacity,
             int *length)
{
    *length = 0;
    Reader reader;
    if (!lookup(readerHandle, reader))
        return KXRDR_ERR_UNKNOWN_HANDLE;
    const int limit = reader.advancedFrames ? KXRDR_EXCHANGE_SIZE : StandardRequestLimit;
    if (static_cast<int>(request.size()) > limit) {
        record(readerHandle, KXRDR_ERR_REQUEST_SIZE, 0);
        return KXRDR_ERR_REQUEST_SIZE;
    }

    char head[64];
    if (reader.trace && !reader.traceFile.empty()) {
        std::snprintf(head, sizeof head, "TX %02X %02X (%zu):", bus, command, request.size());
        traceBytes(reader.traceFile, head, request.data(), static_cast<int>(request.size()));
    }

    kxrdr_transport_fn hook = nullptr;
    void *context = nullptr;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        hook = g_hook;
        context = g_hookContext;
    }
    unsigned char status = 0;
    int answerLength = 0;
    int rc;
    const int port = reader.portHandle;
    if (hook)
        rc = hook(context, port, bus, command, request.data(), static_cast<int>(request.size()),
                  &status, answer, capacity, &answerLength);
    else if (port & KXPORT_USB_BIT)
        rc = kxusb_transceive(port, bus, command, request.data(), static_cast<int>(request.size()),
                              &status, answer, capacity, &answerLength);
    else
        rc = kxtcp_transceive(port, bus, command, request.data(), static_cast<int>(request.size()),
                              &status, answer, capacity, &answerLength);

    if (rc >= 0 && (answerLength < 0 || answerLength > capacity))
        rc = KXRDR_ERR_ANSWER; // a transport that broke its contract; never trust the length
    if (rc < 0) {
        if (reader.trace && !reader.traceFile.empty()) {
            std::snprintf(head, sizeof head, "ERR %02X %d", command, rc);
            traceBytes(reader.traceFile, head, nullptr, 0);
        }
        record(readerHandle, rc, 0);
        return rc;
    }
    *length = answerLength;
    if (reader.trace && !reader.traceFile.empty()) {
        std::snprintf(head, sizeof head, "RX %02X %02X (%d):", command, status, answerLength);
        traceBytes(reader.traceFile, head, answer, answerLength);
    }
    record(readerHandle, 0, status);
    return status;
}

// Fails a command before anything is sent (bad arguments, wrong answer size).
int fail(int readerHandle, int code)
{
    record(readerHandle, code, 0);
    return code;
}

bool validRequest(const unsigned char *request, int length, int limit)
{
    return length >= 0 && length <= limit && (length == 0 || request != nullptr);
}

// A command whose answer carries nothing the caller uses; a short answer is
// accepted and dropped.
int command(int readerHandle, unsigned char bus, unsigned char code,
            const std::vector<unsigned char> &request)
{
    unsigned char scratch[64];
    int length = 0;
    return exchange(readerHandle, bus, code, request, scratch, sizeof scratch, &length);
}

// Exchanges and copies an answer of variable length into the caller's buffer.
int exchangeInto(int readerHandle, unsigned char bus, unsigned char command,
                 const std::vector<unsigned char> &request, unsigned char *response,
                 int *responseLength, int capacity)
{
    if (!response || !responseLength)
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    *responseLength = 0;
    int length = 0;
    const int rc = exchange(readerHandle, bus, command, request, response, capacity, &length);
    if (rc >= 0)
        *responseLength = length;
    return rc;
}

// Exchanges and copies a record into a fixed-size, zero-filled buffer.
int exchangeRecord(int readerHandle, unsigned char bus, unsigned char command,
                   const std::vector<unsigned char> &request, unsigned char *buffer, int size)
{
    if (!buffer)
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    std::vector<unsigned char> answer(static_cast<std::size_t>(size));
    int length = 0;
    const int rc = exchange(readerHandle, bus, command, request, answer.data(), size, &length);
    if (rc >= 0) {
        std::memset(buffer, 0, static_cast<std::size_t>(size));
        std::memcpy(buffer, answer.data(), static_cast<std::size_t>(length));
    }
    return rc;
}

} // namespace

extern "C" {

void kxrdr_set_transport(kxrdr_transport_fn fn, void *context)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_hook = fn;
    g_hookContext = fn ? context : nullptr;
}

int KXRDR_NewReader(int portHandle)
{
    const bool usb = portHandle > 0 && (portHandle & KXPORT_USB_BIT);
    const bool tcp = portHandle > 0 && (portHandle & KXPORT_TCP_BIT);
    if (usb == tcp)
        return KXRDR_ERR_PORT_HANDLE;
    std::lock_guard<std::mutex> lock(g_mutex);
    // Reader handles stay below bit 28 so they can never pass for port handles.
    for (int tries = 0; tries < 0x0FFFFFFF; ++tries) {
        const int handle = g_nextHandle;
        g_nextHandle = g_nextHandle >= 0x0FFFFFFF ? 1 : g_nextHandle + 1;
        if (g_readers.count(handle) == 0) {
            Reader reader;
            reader.portHandle = portHandle;
            g_readers.emplace(handle, reader);
            return handle;
        }
    }
    return KXRDR_ERR_HANDLES;
}

int KXRDR_DeleteReader(int readerHandle)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_readers.erase(readerHandle) ? 0 : KXRDR_ERR_UNKNOWN_HANDLE;
}

int KXRDR_SetReaderPara(int readerHandle, const char *name, const char *value)
{
    if (!name || !value)
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    std::lock_guard<std::mutex> lock(g_mutex);
    auto it = g_readers.find(readerHandle);
    if (it == g_readers.end())
        return KXRDR_ERR_UNKNOWN_HANDLE;
    Reader &reader = it->second;
    const std::string key = name;
    const std::string text = value;
    int rc = 0;
    if (key == "LOGFILENAME") {
        reader.traceFile = text;
    } else if (key == "LOGFILE") {
        if (text == "1" || text == "0")
            reader.trace = text == "1";
        else
            rc = KXRDR_ERR_PARA_VALUE;
    } else if (key == "FRAMESUPPORT") {
        if (text == "ADVANCED" || text == "STANDARD")
            reader.advancedFrames = text == "ADVANCED";
        else
            rc = KXRDR_ERR_PARA_VALUE;
    } else {
        rc = KXRDR_ERR_UNKNOWN_PARA;
    }
    reader.lastError = rc;
    reader.lastState = 0;
    return rc;
}

int KXRDR_GetReaderPara(int readerHandle, const char *name, char *value)
{
    if (!name || !value)
        return KXRDR_ERR_ARGUMENT;
    Reader reader;
    if (!lookup(readerHandle, reader))
        return KXRDR_ERR_UNKNOWN_HANDLE;
    const std::string key = name;
    if (key == "LOGFILENAME")
        putText(value, reader.traceFile);
    else if (key == "LOGFILE")
        putText(value, reader.trace ? "1" : "0");
    else if (key == "FRAMESUPPORT")
        putText(value, reader.advancedFrames ? "ADVANCED" : "STANDARD");
    else
        return KXRDR_ERR_UNKNOWN_PARA;
    return 0;
}

int KXRDR_GetLastError(int readerHandle, int *errorCode, char *text)
{
    Reader reader;
    int code;
    int rc = 0;
    if (readerHandle < 0) {
        // A failed KXRDR_NewReader: the handle is its own error code.
        code = readerHandle;
    } else if (lookup(readerHandle, reader)) {
        code = reader.lastError;
    } else {
        code = KXRDR_ERR_UNKNOWN_HANDLE;
        rc = KXRDR_ERR_UNKNOWN_HANDLE;
    }
    if (errorCode)
        *errorCode = code;
    putText(text, errorText(code, reader.portHandle));
    return rc;
}

int KXRDR_GetLastState(int readerHandle, char *text)
{
    Reader reader;
    if (!lookup(readerHandle, reader)) {
        putText(text, ownErrorText(KXRDR_ERR_UNKNOWN_HANDLE));
        return KXRDR_ERR_UNKNOWN_HANDLE;
    }
    putText(text, statusTextOf(reader.lastState));
    return reader.lastState;
}

int KXRDR_GetErrorText(int errorCode, char *text)
{
    if (!text)
        return KXRDR_ERR_ARGUMENT;
    putText(text, errorText(errorCode, -1));
    return 0;
}

int KXRDR_GetStatusText(int status, char *text)
{
    if (!text || status < 0 || status > 255)
        return KXRDR_ERR_ARGUMENT;
    putText(text, statusTextOf(status));
    return 0;
}

int KXRDR_0x1F_TZDataExchange(int readerHandle, unsigned char busAddress, unsigned char mode,
                              unsigned char flags, unsigned char table,
                              const unsigned char *request, int requestLength,
                              unsigned char *response, int *responseLength, int)
{
    if (!validRequest(request, requestLength, KXRDR_EXCHANGE_SIZE - 3))
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    std::vector<unsigned char> payload{mode, flags, table};
    payload.insert(payload.end(), request, request + requestLength);
    return exchangeInto(readerHandle, busAddress, 0x1F, payload, response, responseLength,
                        KXRDR_EXCHANGE_SIZE);
}

int KXRDR_0x33_InitBuffer(int readerHandle, unsigned char busAddress)
{
    return command(readerHandle, busAddress, 0x33, {});
}

int KXRDR_0x63_CPUReset(int readerHandle, unsigned char busAddress)
{
    return command(readerHandle, busAddress, 0x63, {});
}

int KXRDR_0x64_SystemReset(int readerHandle, unsigned char busAddress, unsigned char mode)
{
    return command(readerHandle, busAddress, 0x64, {mode});
}

int KXRDR_0x66_ReaderInfo(int readerHandle, unsigned char busAddress, unsigned char mode,
                          unsigned char *info, int)
{
    return exchangeRecord(readerHandle, busAddress, 0x66, {mode}, info, KXRDR_INFO_SIZE);
}

int KXRDR_0x6A_RFOnOff(int readerHandle, unsigned char busAddress, unsigned char flags)
{
    return command(readerHandle, busAddress, 0x6A, {flags});
}

int KXRDR_0x6E_RdDiag(int readerHandle, unsigned char busAddress, unsigned char mode,
                      unsigned char *data)
{
    return exchangeRecord(readerHandle, busAddress, 0x6E, {mode}, data, KXRDR_DIAG_SIZE);
}

int KXRDR_0x80_ReadConfBlock(int readerHandle, unsigned char busAddress, unsigned char address,
                             unsigned char *block, int)
{
    if (!block)
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    unsigned char answer[KXRDR_BLOCK_SIZE];
    int length = 0;
    const int rc =
        exchange(readerHandle, busAddress, 0x80, {address}, answer, KXRDR_BLOCK_SIZE, &length);
    if (rc == 0 && length != KXRDR_BLOCK_SIZE)
        return fail(readerHandle, KXRDR_ERR_ANSWER);
    if (rc == 0)
        std::memcpy(block, answer, KXRDR_BLOCK_SIZE);
    return rc;
}

int KXRDR_0x81_WriteConfBlock(int readerHandle, unsigned char busAddress, unsigned char address,
                              const unsigned char *block, int)
{
    if (!block)
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    std::vector<unsigned char> payload{address};
    payload.insert(payload.end(), block, block + KXRDR_BLOCK_SIZE);
    return command(readerHandle, busAddress, 0x81, payload);
}

int KXRDR_0x83_ResetConfBlock(int readerHandle, unsigned char busAddress, unsigned char address)
{
    return command(readerHandle, busAddress, 0x83, {address});
}

int KXRDR_0x87_SetSystemDate(int readerHandle, unsigned char busAddress, unsigned char century,
                             unsigned char year, unsigned char month, unsigned char day,
                             unsigned char timezone, unsigned char hour, unsigned char minute,
                             unsigned int milliseconds)
{
    if (milliseconds > 0xFFFF)
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    const std::vector<unsigned char> payload{century,
                                             year,
                                             month,
                                             day,
                                             timezone,
                                             hour,
                                             minute,
                                             static_cast<unsigned char>(milliseconds >> 8),
                                             static_cast<unsigned char>(milliseconds & 0xFF)};
    return command(readerHandle, busAddress, 0x87, payload);
}

int KXRDR_0x8A_ReadConfiguration(int readerHandle, unsigned char busAddress, unsigned char mode,
                                 unsigned char bank, unsigned char location,
                                 unsigned char firstBlock, unsigned char blockCount,
                                 int *blocksRead, int *bytesRead, unsigned char *buffer)
{
    if (blocksRead)
        *blocksRead = 0;
    if (bytesRead)
        *bytesRead = 0;
    if (!buffer || blockCount < 1 || blockCount > 63)
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    const int capacity = 2 + KXRDR_BLOCK_SIZE * blockCount;
    std::vector<unsigned char> answer(static_cast<std::size_t>(capacity));
    int length = 0;
    const int rc =
        exchange(readerHandle, busAddress, 0x8A, {mode, bank, location, firstBlock, blockCount},
                 answer.data(), capacity, &length);
    if (rc != 0)
        return rc;
    // Block number, block count, then whole blocks: anything else is not an answer to this.
    if (length < 2 || answer[1] > blockCount || length != 2 + KXRDR_BLOCK_SIZE * answer[1])
        return fail(readerHandle, KXRDR_ERR_ANSWER);
    std::memcpy(buffer, answer.data(), static_cast<std::size_t>(length));
    if (blocksRead)
        *blocksRead = answer[1];
    if (bytesRead)
        *bytesRead = length;
    return 0;
}

int KXRDR_0x9F_Piggyback_Command(int readerHandle, unsigned char busAddress, unsigned char port,
                                 unsigned char mode, unsigned char flags,
                                 const unsigned char *request, int requestLength,
                                 unsigned char *response, int *responseLength)
{
    if (!validRequest(request, requestLength, KXRDR_PIGGYBACK_SIZE))
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    std::vector<unsigned char> payload{port, mode, flags};
    payload.insert(payload.end(), request, request + requestLength);
    return exchangeInto(readerHandle, busAddress, 0x9F, payload, response, responseLength,
                        KXRDR_PIGGYBACK_SIZE);
}

static int isoCommand(int readerHandle, unsigned char busAddress, unsigned char command,
                      const unsigned char *request, int requestLength, unsigned char *response,
                      int *responseLength)
{
    if (!validRequest(request, requestLength, KXRDR_ISO_SIZE))
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    const std::vector<unsigned char> payload(request, request + requestLength);
    return exchangeInto(readerHandle, busAddress, command, payload, response, responseLength,
                        KXRDR_ISO_SIZE);
}

int KXRDR_0xB0_ISOCmd(int readerHandle, unsigned char busAddress, const unsigned char *request,
                      int requestLength, unsigned char *response, int *responseLength, int)
{
    return isoCommand(readerHandle, busAddress, 0xB0, request, requestLength, response,
                      responseLength);
}

int KXRDR_0xB2_ISOCmd(int readerHandle, unsigned char busAddress, const unsigned char *request,
                      int requestLength, unsigned char *response, int *responseLength, int)
{
    return isoCommand(readerHandle, busAddress, 0xB2, request, requestLength, response,
                      responseLength);
}

int KXRDR_0xC3_DESFireCmd(int readerHandle, unsigned char busAddress, unsigned char command,
                          unsigned char mode, const unsigned char *request, int requestLength,
                          unsigned char *response, int *responseLength, int)
{
    if (!validRequest(request, requestLength, KXRDR_ISO_SIZE))
        return fail(readerHandle, KXRDR_ERR_ARGUMENT);
    std::vector<unsigned char> payload{command, mode};
    payload.insert(payload.end(), request, request + requestLength);
    return exchangeInto(readerHandle, busAddress, 0xC3, payload, response, responseLength,
                        KXRDR_ISO_SIZE);
}

} // extern "C"
