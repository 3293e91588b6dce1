// Identifier texts: stored and hex forms never crash, write back to what
// they read, and the record key a reader gets is never blank.
#include "access/readeraccesstables.h"
#include "db/transponderidd.h"
#include "fuzzinput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 512)
        return 0;
    const int length = 1 + data[0] % ReaderAccessTables::MaxIddLength;
    const QByteArray raw = FuzzInput::bytes(data + 1, size - 1);
    const QString text = QString::fromLatin1(raw);

    const TransponderIdd stored = TransponderIdd::fromStored(text);
    stored.toDisplay();
    if (!stored.isEmpty()) {
        const TransponderIdd again = TransponderIdd::fromStored(stored.toStored());
        FUZZ_CHECK(again == stored);
    }
    for (const qint32 type : {TransponderIdd::Iso14443A, TransponderIdd::EpcClass1Gen2}) {
        TransponderIdd hex = TransponderIdd::fromHex(text, type);
        hex.toDisplay();
        hex.extendTo(length);
        FUZZ_CHECK(TransponderIdd::fromStored(hex.toStored()) == hex);
    }

    const QByteArray key = ReaderAccessTables::readerIdd(raw, length);
    if (!key.isEmpty()) {
        FUZZ_CHECK(key.size() == length);
        FUZZ_CHECK(key.count('\0') < key.size());
    }
    return 0;
}
