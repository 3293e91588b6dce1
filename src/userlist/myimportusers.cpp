#include "userlist/myimportusers.h"

#include "db/projectdatabase.h"
#include "db/recordrows.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "userlist/myexportusers.h"

#include <QTextCodec>

#include <cctype>

MyImportUsers::MyImportUsers(const QString &fileName, QObject *parent) : QFile(fileName, parent)
{
    for (int &column : m_columns)
        column = -1;
}

void MyImportUsers::setColumn(Field field, int column)
{
    if (field >= 0 && field < FieldCount)
        m_columns[field] = column < 0 ? -1 : column;
}

void MyImportUsers::assignStandardColumns(const QStringList &header)
{
    const QStringList names = MyExportUsers::standardHeader();
    for (int i = 0; i < FieldCount; ++i)
        m_columns[i] = header.indexOf(names.at(i));
}

QString MyImportUsers::decodeLine(const QByteArray &bytes)
{
    QTextCodec *codec = QTextCodec::codecForLocale();
    QTextCodec::ConverterState state;
    const QString text = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars > 0)
        return QString::fromLatin1(bytes);
    return text;
}

QStringList MyImportUsers::splitLine(const QString &line)
{
    if (line.contains(QLatin1Char(';')))
        m_separator = QLatin1Char(';');
    else if (line.contains(QLatin1Char(',')))
        m_separator = QLatin1Char(',');
    else
        return QStringList();

    QStringList fields;
    const QChar quote = QLatin1Char('"');
    int i = 0;
    const int n = line.size();
    while (true) {
        QString field;
        if (i < n && line.at(i) == quote) {
            // A quoted field: "" stands for one quote, the separator is plain text.
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (line.at(j) == quote) {
                    if (j + 1 < n && line.at(j + 1) == quote) {
                        field += quote;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                field += line.at(j++);
            }
            if (closed && (j == n || line.at(j) == m_separator)) {
                fields.append(field);
                if (j == n)
                    break;
                i = j + 1;
                continue;
            }
            // Not a well-formed quoted field: take it as it stands.
            field.clear();
        }
        const int end = line.indexOf(m_separator, i);
        if (end < 0) {
            fields.append(line.mid(i));
            break;
        }
        fields.append(line.mid(i, end - i));
        i = end + 1;
    }
    return fields;
}

QStringList MyImportUsers::readHeader()
{
    if (!open(QIODevice::ReadOnly))
        return QStringList();
    const QStringList header = splitLine(decodeLine(readLine()).trimmed());
    close();
    return header;
}

bool MyImportUsers::normaliseIdd(QString &text, int length)
{
    const QString trimmed = text.trimmed();
    if (trimmed.size() < 8 || trimmed.size() > 2 * length)
        return false;
    for (const QChar c : trimmed) {
        if (!std::isxdigit(static_cast<unsigned char>(c.toLatin1())) || c.unicode() > 0x7F)
            return false;
    }
    text = trimmed.rightJustified(2 * length, QLatin1Char('0'));
    return true;
}

QString MyImportUsers::field(const QStringList &fields, Field which) const
{
    const int column = m_columns[which];
    if (column < 0 || column >= fields.size())
        return QString();
    return fields.at(column).trimmed();
}

QSqlError MyImportUsers::importUsers(const QString &databasePath, int hfIddLength, int uhfIddLength,
                                     int &count)
{
    count = 0;
    m_stopped = false;
    m_skipped = 0;
    m_rejected = 0;
    m_empty = 0;
    ProjectDatabase db(databasePath);
    if (!db.open())
        return db.lastError();
    QSqlQuery query = db.query();
    const int users = UserRecords::countUsers(query);
    if (users < 0)
        return query.lastError();
    int number = users + 1;

    if (!open(QIODevice::ReadOnly)) {
        count = -1;
        return QSqlError();
    }
    const int headerFields = splitLine(decodeLine(readLine()).trimmed()).size();
    // One transaction: thousands of single-row commits would take minutes.
    // A refused row does not end it.
    db.transaction();
    const auto nameTaken = [&](const QString &familyName, const QString &firstName) {
        if (!ProjectDatabase::exec(
                query,
                QStringLiteral("select count(*) from users where familyName=? and firstName=?"),
                {familyName, firstName}) ||
            !query.next())
            return false;
        const bool taken = query.value(0).toInt() > 0;
        query.finish();
        return taken;
    };

    while (!atEnd()) {
        if (m_stopFlag && m_stopFlag->load()) {
            m_stopped = true;
            break;
        }
        const QString line = decodeLine(readLine()).trimmed();
        if (line.isEmpty()) {
            ++m_empty;
            continue;
        }
        const QStringList fields = splitLine(line);
        if (headerFields == 0 || fields.size() != headerFields) {
            ++m_skipped;
            continue;
        }
        const bool hasLastName = m_columns[LastName] >= 0 && m_columns[LastName] < fields.size();
        const bool hasFirstName = m_columns[FirstName] >= 0 && m_columns[FirstName] < fields.size();
        QString shortRange = field(fields, ShortRangeIdd);
        QString longRange = field(fields, LongRangeIdd);
        const bool shortValid = normaliseIdd(shortRange, hfIddLength);
        const bool longValid = normaliseIdd(longRange, uhfIddLength);
        if (!hasLastName && !shortValid && !longValid) {
            ++m_skipped;
            continue;
        }

        UserRow user;
        user.groupName = m_columns[UserGroup] >= 0 && m_columns[UserGroup] < fields.size()
                             ? field(fields, UserGroup)
                             : tr("Import User List");
        user.commentUser = field(fields, UserComment);
        user.commentIso14443 = field(fields, ShortRangeComment);
        user.commentClass1Gen2 = field(fields, LongRangeComment);
        user.iddIso14443 =
            shortValid ? TransponderIdd::fromHex(shortRange, TransponderIdd::Iso14443A).toStored()
                       : shortRange;
        user.iddClass1Gen2 =
            longValid ? TransponderIdd::fromHex(longRange, TransponderIdd::EpcClass1Gen2).toStored()
                      : longRange;
        // After removals the running number may name an existing import; move past it.
        for (int tries = 0;; ++tries) {
            const QString automatic = QStringLiteral("Import%1").arg(number);
            user.familyName = hasLastName ? field(fields, LastName) : automatic;
            user.firstName = hasFirstName ? field(fields, FirstName) : automatic;
            if ((hasLastName && hasFirstName) || tries > 1000 ||
                !nameTaken(user.familyName, user.firstName))
                break;
            ++number;
        }
        if (UserRecords::addUser(query, user)) {
            ++count;
            ++number;
        } else {
            ++m_rejected;
            ++m_skipped;
        }
    }
    close();
    query.finish();
    if (m_stopped) {
        db.rollback();
        count = 0;
        return QSqlError();
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        count = 0;
        return error;
    }
    return QSqlError();
}
