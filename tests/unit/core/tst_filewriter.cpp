// Writers on a disk that fills up: the test seam of the file writer takes a
// byte budget, after which every write fails as on a full disk, and
// /dev/full fails for real.
#include "support/testsupport.h"

#include "access/accesscsvfiles.h"
#include "core/filewriter.h"
#include "core/logfile.h"
#include "db/userrecords.h"
#include "userlist/myexportusers.h"

#include <QDir>
#include <QFile>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestFileWriter : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { FileWriter::setSpaceLeftForTesting(-1); }
    void fullDiskFailsEveryWriter_data();
    void fullDiskFailsEveryWriter();
    void failingDeviceFailsTheLogLine();
};

void TestFileWriter::fullDiskFailsEveryWriter_data()
{
    QTest::addColumn<QString>("writer");
    QTest::addColumn<qint64>("space");
    for (const char *writer : {"replace", "export", "events", "log"}) {
        QTest::addRow("%s, disk full", writer) << QString::fromLatin1(writer) << qint64(0);
        QTest::addRow("%s, room for a few bytes", writer)
            << QString::fromLatin1(writer) << qint64(12);
    }
}

void TestFileWriter::fullDiskFailsEveryWriter()
{
    QFETCH(QString, writer);
    QFETCH(qint64, space);
    TestSupport::TempProject project;
    QVERIFY(project.isValid());
    for (int i = 0; i < 20; ++i) {
        UserRow user;
        user.familyName = QStringLiteral("Name%1").arg(i);
        user.firstName = QStringLiteral("First");
        user.groupName = QStringLiteral("Staff");
        QVERIFY(!UserRecords::addUser(project.databasePath(), user).isValid());
    }
    const QString path = project.folder() + QStringLiteral("/out.csv");
    const QByteArray previous("previous\r\n");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(previous), previous.size());
    }
    ReaderEvent event;
    event.dateTime = QDateTime(QDate(2026, 3, 2), QTime(10, 0));
    QList<ReaderEvent> events;
    for (int i = 0; i < 20; ++i)
        events << event;
    const TransponderLookup nobody = [](const QString &, QList<ImportedTransponderRow> &) {
        return QSqlError();
    };

    // The same writes succeed with room on the disk.
    for (const bool full : {false, true}) {
        FileWriter::setSpaceLeftForTesting(full ? space : -1);
        bool ok = false;
        if (writer == QLatin1String("replace")) {
            ok = FileWriter::replaceFile(path, QByteArray(4096, 'x'));
        } else if (writer == QLatin1String("export")) {
            MyExportUsers file(path);
            int count = 0;
            QVERIFY(!file.exportUsers(project.databasePath(), count).isValid());
            ok = count == 20;
        } else if (writer == QLatin1String("events")) {
            ok = AccessCsvFiles::appendEventFiles(project.folder() + QStringLiteral("/events"),
                                                  QStringLiteral("Door"), events, nobody)
                     .ok();
        } else {
            ok = LogFile::appendLine(path, QString(200, QLatin1Char('y')));
        }
        FileWriter::setSpaceLeftForTesting(-1);
        QCOMPARE(ok, !full);
        if (!full) {
            // Put the previous file back for the run on the full disk.
            QFile::remove(path);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(previous), previous.size());
        }
    }
    // What replaces a file leaves the previous one whole.
    if (writer == QLatin1String("replace") || writer == QLatin1String("export"))
        QCOMPARE(readFile(path), previous);
    // Nothing is left beside it, hidden or not.
    QCOMPARE(
        QDir(project.folder()).entryList({QStringLiteral("*out.csv*")}, QDir::Files | QDir::Hidden),
        QStringList{QStringLiteral("out.csv")});
}

void TestFileWriter::failingDeviceFailsTheLogLine()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    QVERIFY(!LogFile::appendLine(QStringLiteral("/dev/full"), QStringLiteral("a line")));
}

KX_TEST_MAIN(TestFileWriter)
#include "tst_filewriter.moc"
