// User list lines as an import reads them: decoded, split into fields and
// the identifier columns normalised; a normalised identifier is hex digits,
// at most MaxBytes of them, padded to the requested length unless shorter
// than 8 digits, and normalising it again changes nothing.
#include "db/transponderidd.h"
#include "fuzzinput.h"
#include "userlist/myimportusers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    if (size < 1 || size > 8192)
        return 0;
    const int length = 1 + data[0] % 64;
    MyImportUsers list(QString{});
    list.assignStandardColumns(list.splitLine(MyImportUsers::decodeLine("LastName;FirstName")));
    for (const QByteArray &raw : FuzzInput::bytes(data + 1, size - 1).split('\n')) {
        const QStringList fields = list.splitLine(MyImportUsers::decodeLine(raw));
        for (QString field : fields) {
            if (MyImportUsers::normaliseIdd(field, length)) {
                FUZZ_CHECK(field.size() <= 2 * TransponderIdd::MaxBytes);
                FUZZ_CHECK(field.size() >= 2 * length || field.size() < 8);
                QString again = field;
                FUZZ_CHECK(MyImportUsers::normaliseIdd(again, length) && again == field);
                bool ok = true;
                for (const QChar c : qAsConst(field))
                    ok = ok && (c.isDigit() || (c.toLower() >= QLatin1Char('a') &&
                                                c.toLower() <= QLatin1Char('f')));
                FUZZ_CHECK(ok);
            }
        }
    }
    return 0;
}
