// Bytes from a reader or the network: the link frame decoder, the discovery
// datagrams and the access table frames read back never crash, and what they
// accept stays within the tables' limits.
#include "access/readeraccesstables.h"
#include "fuzzinput.h"

#include <kxudpwire.h>
#include <kxwire.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size < 2 || size > 8192)
        return 0;
    const uint8_t selector = data[0];
    const uint8_t *body = data + 1;
    const std::size_t length = size - 1;

    kxwire::FrameDecoder decoder(selector & 1);
    // Fed in pieces, as a socket delivers them.
    const std::size_t piece = 1 + selector % 64;
    for (std::size_t at = 0; at < length; at += piece) {
        decoder.feed(body + at, std::min(piece, length - at));
        kxwire::Frame frame;
        for (;;) {
            const kxwire::DecodeResult result = decoder.next(frame);
            if (result == kxwire::DecodeResult::NeedMore)
                break;
            if (result == kxwire::DecodeResult::BadMarker ||
                result == kxwire::DecodeResult::BadLength) {
                decoder.reset();
                break;
            }
            FUZZ_CHECK(frame.payload.size() <= kxwire::kMaxFrameLength);
        }
    }

    kxwire::UdpMessage message;
    if (kxwire::decodeUdp(body, length, message)) {
        FUZZ_CHECK(message.record.text1.size() <= kxwire::kMaxUdpText);
        FUZZ_CHECK(message.record.text2.size() <= kxwire::kMaxUdpText);
    }

    // The table frames in the order a read-back brings them, split at the
    // selector's positions.
    const QByteArray bytes = FuzzInput::bytes(body, length);
    const int cut1 = int(length * ((selector >> 1) & 7) / 8);
    const int cut2 = cut1 + int((length - cut1) / 2);
    ReaderAccessTables tables;
    tables.readMetadataFrame(bytes.left(16 + 3));
    tables.readTimezoneFrame(bytes.mid(0, cut1));
    tables.readHolidayFrame(bytes.mid(cut1, cut2 - cut1));
    tables.readAccessFrame(bytes.mid(cut2));
    FUZZ_CHECK(tables.timezones().size() <= ReaderAccessTables::MaxTimezones);
    FUZZ_CHECK(tables.holidays().size() <= ReaderAccessTables::MaxHolidays);
    FUZZ_CHECK(tables.accessRecords().size() <= ReaderAccessTables::MaxAccessRecords);
    tables.timezoneDump();
    tables.accessDump();
    return 0;
}
