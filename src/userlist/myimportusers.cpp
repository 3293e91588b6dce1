#include "userlist/myimportusers.h"

#include "db/audittrail.h"
#include "db/projectdatabase.h"
#include "db/recordrows.h"
#include "db/recordstatement.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "userlist/myexportusers.h"

#include <QFileInfo>
#include <QTextCodec>

#include <cctype>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

MyImportUsers::MyImportUsers(const QString &fileName, QObject *parent)
    : QFile(fileName, parent), m_path(fileName)
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

namespace {

// Bounds on one record, so that a stray quote in a hostile file cannot
// swallow the rest of it: a record that is still open after this many lines
// or bytes is taken as its first line alone.
constexpr qint64 kMaxLineBytes = 1 << 20;
constexpr int kMaxRecordLines = 1000;

} // namespace

bool MyImportUsers::isFormulaGuarded(const QString &text)
{
    if (text.size() < 2 || text.at(0) != QLatin1Char('\''))
        return false;
    // A tab or carriage return in front lets a spreadsheet drop it and read
    // the formula behind.
    const QChar next = text.at(1);
    return next == QLatin1Char('=') || next == QLatin1Char('+') || next == QLatin1Char('-') ||
           next == QLatin1Char('@') || next == QLatin1Char('\'') || next == QLatin1Char('\t') ||
           next == QLatin1Char('\r');
}

bool MyImportUsers::endsInsideQuotes(const QByteArray &text)
{
    const QByteArray line = text.trimmed();
    const char separator = line.contains(';') ? ';' : ',';
    int i = 0;
    const int n = line.size();
    while (i < n) {
        if (line.at(i) == '"') {
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (line.at(j) == '"') {
                    if (j + 1 < n && line.at(j + 1) == '"') {
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                ++j;
            }
            if (!closed)
                return true;
            if (j == n)
                return false;
            if (line.at(j) == separator) {
                i = j + 1;
                continue;
            }
        }
        const int end = line.indexOf(separator, i);
        if (end < 0)
            return false;
        i = end + 1;
    }
    return false;
}

bool MyImportUsers::openForReading()
{
    // A FIFO or device named as the list would block the open or never end:
    // only a regular file is read.
    m_notRegularFile = false;
    const QByteArray native = QFile::encodeName(m_path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        m_notRegularFile = true;
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

QByteArray MyImportUsers::readRawLine()
{
    // A line ends with LF, CR LF or a lone CR (lists saved on old systems).
    QByteArray line;
    char c = 0;
    while (line.size() < kMaxLineBytes && getChar(&c)) {
        line += c;
        if (c == '\n')
            break;
        if (c == '\r') {
            char next = 0;
            if (getChar(&next)) {
                if (next == '\n')
                    line += next;
                else
                    ungetChar(next);
            }
            break;
        }
    }
    return line;
}

QByteArray MyImportUsers::readRecord()
{
    QByteArray record = readRawLine();
    ++m_lineNumber;
    if (!endsInsideQuotes(record))
        return record;
    const qint64 resume = pos();
    QByteArray joined = record;
    for (int lines = 1; lines < kMaxRecordLines && !atEnd(); ++lines) {
        joined += readRawLine();
        if (joined.size() > kMaxLineBytes)
            break;
        if (!endsInsideQuotes(joined)) {
            m_lineNumber += lines;
            return joined;
        }
    }
    seek(resume);
    return record;
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
    const auto append = [&fields](const QString &field) {
        fields.append(isFormulaGuarded(field) ? field.mid(1) : field);
    };
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
                append(field);
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
            append(line.mid(i).trimmed());
            break;
        }
        append(line.mid(i, end - i).trimmed());
        i = end + 1;
    }
    return fields;
}

QStringList MyImportUsers::readHeader()
{
    if (!openForReading())
        return QStringList();
    m_lineNumber = 0;
    const QStringList header = splitLine(decodeLine(readRecord()).trimmed());
    close();
    return header;
}

bool MyImportUsers::normaliseIdd(QString &text, int length)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 2 * TransponderIdd::MaxBytes)
        return false;
    for (const QChar c : trimmed) {
        if (!std::isxdigit(static_cast<unsigned char>(c.toLatin1())) || c.unicode() > 0x7F)
            return false;
    }
    // Every identifier the program stores comes back as it was: 8 digits or
    // more are padded to the project length as the user dialog does, while a
    // tag read longer than the project length and a short one typed by hand
    // stay as they are (the readers take the first bytes, padded in front).
    text = trimmed.size() >= 8 ? trimmed.rightJustified(2 * length, QLatin1Char('0')) : trimmed;
    return true;
}

MyImportUsers::LineUser MyImportUsers::userOfFields(const QStringList &fields, int hfIddLength,
                                                    int uhfIddLength) const
{
    LineUser parsed;
    for (int i = 0; i < FieldCount; ++i)
        parsed.hasColumn[i] = m_columns[i] >= 0 && m_columns[i] < fields.size();
    UserRow &user = parsed.user;
    user.familyName = field(fields, LastName);
    user.firstName = field(fields, FirstName);
    user.groupName = field(fields, UserGroup);
    user.commentUser = field(fields, UserComment);
    user.commentIso14443 = field(fields, ShortRangeComment);
    user.commentClass1Gen2 = field(fields, LongRangeComment);
    QString shortRange = field(fields, ShortRangeIdd);
    QString longRange = field(fields, LongRangeIdd);
    if (normaliseIdd(shortRange, hfIddLength)) {
        const TransponderIdd iso = TransponderIdd::fromHex(shortRange, TransponderIdd::Iso14443A);
        // The list carries no type: an ISO 15693 tag keeps its own.
        user.iddIso14443 =
            TransponderIdd(iso.bytes(), TransponderIdd::shortRangeTypeOf(iso.bytes())).toStored();
    } else {
        parsed.refusedShortRange = shortRange;
    }
    if (normaliseIdd(longRange, uhfIddLength))
        user.iddClass1Gen2 =
            TransponderIdd::fromHex(longRange, TransponderIdd::EpcClass1Gen2).toStored();
    else
        parsed.refusedLongRange = longRange;
    return parsed;
}

QString MyImportUsers::field(const QStringList &fields, Field which) const
{
    const int column = m_columns[which];
    if (column < 0 || column >= fields.size())
        return QString();
    return fields.at(column);
}

void MyImportUsers::skipLine(int line)
{
    ++m_skipped;
    if (m_skippedLineNumbers.size() < MaxListedLines)
        m_skippedLineNumbers.append(line);
}

QSqlError MyImportUsers::importUsers(const QString &databasePath, int hfIddLength, int uhfIddLength,
                                     int &count)
{
    count = 0;
    m_stopped = false;
    m_skipped = 0;
    m_rejected = 0;
    m_empty = 0;
    m_lineNumber = 0;
    m_skippedLineNumbers.clear();
    m_refusedIdentifierCount = 0;
    m_refusedIdentifiers.clear();
    m_hasHeader = false;
    m_dataLines = 0;
    ProjectDatabase db(databasePath);
    if (!db.open())
        return db.lastError();
    QSqlQuery query = db.query();
    const int users = UserRecords::countUsers(query);
    if (users < 0)
        return query.lastError();
    int number = users + 1;

    if (!openForReading()) {
        count = -1;
        return QSqlError();
    }
    const QString headerLine = decodeLine(readRecord()).trimmed();
    m_hasHeader = !headerLine.isEmpty();
    const int headerFields = splitLine(headerLine).size();
    // One transaction: thousands of single-row commits would take minutes.
    // A refused row does not end it. One audit record tells the whole import.
    db.transaction();
    const bool server = db.isServer();
    AuditTrail::Batch batch;
    QStringList names;
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
        const int lineNumber = m_lineNumber + 1;
        const QString line = decodeLine(readRecord()).trimmed();
        if (line.isEmpty()) {
            ++m_empty;
            continue;
        }
        ++m_dataLines;
        const QStringList fields = splitLine(line);
        if (headerFields == 0 || fields.size() != headerFields) {
            skipLine(lineNumber);
            continue;
        }
        const LineUser parsed = userOfFields(fields, hfIddLength, uhfIddLength);
        const bool hasLastName = parsed.hasColumn[LastName];
        const bool hasFirstName = parsed.hasColumn[FirstName];
        const auto refuse = [&](const QString &text, bool longRange) {
            ++m_refusedIdentifierCount;
            if (m_refusedIdentifiers.size() < MaxListedLines)
                m_refusedIdentifiers.append(
                    {lineNumber, hasLastName ? field(fields, LastName) : QString(),
                     hasFirstName ? field(fields, FirstName) : QString(), text, longRange});
        };
        if (!parsed.refusedShortRange.isEmpty())
            refuse(parsed.refusedShortRange, false);
        if (!parsed.refusedLongRange.isEmpty())
            refuse(parsed.refusedLongRange, true);
        if (!hasLastName && parsed.user.iddIso14443.isEmpty() &&
            parsed.user.iddClass1Gen2.isEmpty()) {
            skipLine(lineNumber);
            continue;
        }

        UserRow user = parsed.user;
        if (!parsed.hasColumn[UserGroup])
            user.groupName = tr("Import User List");
        if (RecordStatement::refuseControlCharacters(
                {user.groupName, field(fields, LastName), field(fields, FirstName)})
                .isValid()) {
            skipLine(lineNumber);
            continue;
        }
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
        // A refused statement ends a server's transaction unless it ran in a
        // savepoint of its own; SQLite takes back only the statement.
        const bool added = server ? RecordStatement::runInSavepoint(
                                        query, "import_line",
                                        [&](QSqlQuery &q) { return UserRecords::addUser(q, user); })
                                  : UserRecords::addUser(query, user);
        if (added) {
            ++count;
            ++number;
            names << AuditTrail::userName(user.familyName, user.firstName);
        } else if (RecordStatement::isConstraint(query)) {
            // A duplicate name combination or identifier: this line only.
            ++m_rejected;
            skipLine(lineNumber);
        } else {
            // Anything else (a full disk, a locked file) would refuse every
            // further line as well: nothing of this import is kept.
            const QSqlError error = query.lastError();
            close();
            query.finish();
            db.rollback();
            count = 0;
            // A stop requested while the row waited for the database is a stop.
            if (m_stopFlag && m_stopFlag->load()) {
                m_stopped = true;
                return QSqlError();
            }
            return error;
        }
    }
    close();
    query.finish();
    if (m_stopped) {
        db.rollback();
        count = 0;
        return QSqlError();
    }
    if (count > 0 && !batch.record(query, importRecord(names))) {
        const QSqlError error = query.lastError();
        query.finish();
        db.rollback();
        count = 0;
        return error;
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        count = 0;
        return error;
    }
    return QSqlError();
}

AuditRecord MyImportUsers::importRecord(const QStringList &names) const
{
    const QFileInfo file(m_path);
    AuditRecord record;
    record.action = AuditTrail::Action::Import;
    record.objectKind = AuditTrail::Kind::UserList;
    record.objectName = file.fileName();
    record.users = names;
    record.valuesAfter =
        AuditTrail::json({{QStringLiteral("file"), file.absoluteFilePath()},
                          {QStringLiteral("added"), names.size()},
                          {QStringLiteral("linesLeftOut"), m_skipped},
                          {QStringLiteral("identifiersLeftOut"), m_refusedIdentifierCount}});
    return record;
}

bool MyImportUsers::readUsers(int hfIddLength, int uhfIddLength, QList<LineUser> &users,
                              QString *problem)
{
    users.clear();
    problem->clear();
    if (m_columns[LastName] < 0 || m_columns[FirstName] < 0) {
        *problem = tr("The list needs the columns LastName and FirstName in its header.");
        return false;
    }
    if (!openForReading())
        return false;
    m_lineNumber = 0;
    const int headerFields = splitLine(decodeLine(readRecord()).trimmed()).size();
    while (problem->isEmpty() && !atEnd()) {
        const int lineNumber = m_lineNumber + 1;
        const QString line = decodeLine(readRecord()).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList fields = splitLine(line);
        if (fields.size() != headerFields) {
            *problem = tr("Line %1 has %2 fields, the header %3.")
                           .arg(lineNumber)
                           .arg(fields.size())
                           .arg(headerFields);
            break;
        }
        LineUser parsed = userOfFields(fields, hfIddLength, uhfIddLength);
        parsed.line = lineNumber;
        const UserRow &user = parsed.user;
        // A list without a group column gives new users the import's group.
        UserRow checked = user;
        if (!parsed.hasColumn[UserGroup])
            checked.groupName = tr("Import User List");
        const RecordProblem named = UserRecords::problem(checked);
        const QString refused = !parsed.refusedShortRange.isEmpty() ? parsed.refusedShortRange
                                                                    : parsed.refusedLongRange;
        if (!named.isEmpty())
            *problem = tr("Line %1: %2").arg(lineNumber).arg(named.text);
        else if (!refused.isEmpty())
            *problem = tr("Line %1 (%2, %3): '%4' is no identifier of up to %5 hexadecimal digits.")
                           .arg(lineNumber)
                           .arg(user.familyName, user.firstName, refused.left(40))
                           .arg(2 * TransponderIdd::MaxBytes);
        else
            users << parsed;
    }
    close();
    return problem->isEmpty();
}

QString MyImportUsers::resultText(int count, int listed) const
{
    QString text;
    if (count > 0)
        text = tr("%n user entries imported from file", nullptr, count);
    else if (!m_hasHeader)
        text = tr("Nothing imported: the file is empty.");
    else if (m_dataLines == 0)
        text = tr("Nothing imported: the file holds no line after its header.");
    else
        text = tr("Nothing imported\nPlease check the column assignments.");
    if (m_skipped > 0) {
        QStringList numbers;
        for (int line : m_skippedLineNumbers.mid(0, listed))
            numbers << QString::number(line);
        if (m_skipped > numbers.size())
            numbers << QStringLiteral("...");
        text += QStringLiteral("\n\n") +
                tr("%n lines not imported (other column count, no name and no valid IDD, a "
                   "control character in a name, or name or IDD already in the project): line %1",
                   nullptr, m_skipped)
                    .arg(numbers.join(QStringLiteral(", ")));
    }
    if (m_refusedIdentifierCount > 0) {
        text += QStringLiteral("\n\n") +
                tr("%n IDDs left out: they are no hexadecimal numbers of up to %1 digits:", nullptr,
                   m_refusedIdentifierCount)
                    .arg(2 * TransponderIdd::MaxBytes);
        for (const RefusedIdentifier &r : m_refusedIdentifiers.mid(0, listed)) {
            const QString who = r.familyName.isEmpty() && r.firstName.isEmpty()
                                    ? QString()
                                    : QStringLiteral(" (%1, %2)").arg(r.familyName, r.firstName);
            text += QLatin1Char('\n') + tr("Line %1%2: '%3'").arg(r.line).arg(who, r.text.left(40));
        }
        if (m_refusedIdentifierCount > qMin(listed, m_refusedIdentifiers.size()))
            text += QStringLiteral("\n...");
    }
    return text;
}
