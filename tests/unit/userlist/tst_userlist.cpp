#include "support/testsupport.h"

#include "db/projectdatabase.h"
#include "db/recordrows.h"
#include "db/recordstatement.h"
#include "db/transponderidd.h"
#include "db/userrecords.h"
#include "userlist/myexportusers.h"
#include "userlist/myimportusers.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

QStringList sl(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

bool writeBytes(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QList<UserRow> usersByName(const QString &db)
{
    QList<UserRow> rows;
    UserRecords::listUsers(db, UserRecords::SortByName, true, rows);
    return rows;
}

UserRow user(const char *family, const char *first, const char *group, const char *comment,
             const QString &hf, const char *hfComment, const QString &uhf, const char *uhfComment)
{
    UserRow u;
    u.familyName = QString::fromUtf8(family);
    u.firstName = QString::fromUtf8(first);
    u.groupName = QString::fromUtf8(group);
    u.commentUser = QString::fromUtf8(comment);
    u.iddIso14443 = hf;
    u.commentIso14443 = QString::fromUtf8(hfComment);
    u.iddClass1Gen2 = uhf;
    u.commentClass1Gen2 = QString::fromUtf8(uhfComment);
    return u;
}

} // namespace

class TestUserList : public QObject
{
    Q_OBJECT

private slots:
    void splitLine_data();
    void splitLine();
    void normaliseIdd_data();
    void normaliseIdd();
    void exportFile();
    void exportThenImportKeepsEverything();
    void exportToUnwritableFile();
    void import_data();
    void import();
    void automaticNamesSkipTakenOnes();
    void importMissingFile();
    void importWithoutNameColumnsOrIdds();
    void hostileTextsRoundTrip_data();
    void hostileTextsRoundTrip();
    void refusedIdentifiersNamed();
    void largeFileWithBadLines();
    void databaseFailureKeepsNothing();
};

void TestUserList::splitLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("separator");
    QTest::newRow("semicolons") << "a;b;;c" << sl({"a", "b", "", "c"}) << ";";
    QTest::newRow("commas") << "a,b,c" << sl({"a", "b", "c"}) << ",";
    QTest::newRow("semicolon wins") << "a,b;c" << sl({"a,b", "c"}) << ";";
    QTest::newRow("neither") << "abc" << QStringList{} << ";";
    QTest::newRow("trailing separator") << "a;b;" << sl({"a", "b", ""}) << ";";
    QTest::newRow("quoted with separator")
        << "\"Smith; Jr\";\"say \"\"hi\"\"\";x" << sl({"Smith; Jr", "say \"hi\"", "x"}) << ";";
    QTest::newRow("quote inside a field") << "O\"Brien;x" << sl({"O\"Brien", "x"}) << ";";
    QTest::newRow("unclosed quote") << "\"abc;def" << sl({"\"abc", "def"}) << ";";
}

void TestUserList::splitLine()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    MyImportUsers import(QStringLiteral("unused.csv"));
    QCOMPARE(import.splitLine(line), fields);
    QTEST(QString(import.separator()), "separator");
}

void TestUserList::normaliseIdd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("result");
    QTest::newRow("padded") << "A1B2C3D4" << 7 << true << "000000A1B2C3D4";
    QTest::newRow("full length") << "04a1b2c3d4e5f6" << 7 << true << "04a1b2c3d4e5f6";
    QTest::newRow("short one kept") << "A1B2C3D" << 7 << true << "A1B2C3D";
    QTest::newRow("longer than the project kept")
        << "E004A1B2C3D4E5F6" << 7 << true << "E004A1B2C3D4E5F6";
    QTest::newRow("longer than any reader delivers")
        << QString(129, QLatin1Char('1')) << 7 << false << QString(129, QLatin1Char('1'));
    QTest::newRow("empty") << "  " << 7 << false << "  ";
    QTest::newRow("not hex") << "A1B2C3DX" << 7 << false << "A1B2C3DX";
    QTest::newRow("blanks trimmed") << " A1B2C3D4 " << 4 << true << "A1B2C3D4";
    QTest::newRow("non-ASCII digit") << QString::fromUtf8("A1B2C3D\xd9\xa4") << 7 << false
                                     << QString::fromUtf8("A1B2C3D\xd9\xa4");
}

void TestUserList::normaliseIdd()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QTEST(MyImportUsers::normaliseIdd(text, length), "valid");
    QTEST(text, "result");
}

void TestUserList::exportFile()
{
    TestSupport::TempProject project;
    const QString db = project.databasePath();
    QVERIFY(
        !UserRecords::addUser(db, user("Zeta", "Anna", "B-Team", "c;1",
                                       QStringLiteral("04a1b2c3d4e5f6-04"), "card", QString(), ""))
             .isValid());
    QVERIFY(!UserRecords::addUser(
                 db, user("Alpha", "Bo", "B-Team", "", QString(), "",
                          TransponderIdd::fromHex(QStringLiteral("E20000112233445566778899"),
                                                  TransponderIdd::EpcClass1Gen2)
                              .toStored(),
                          "tag"))
                 .isValid());
    QVERIFY(!UserRecords::addUser(db, user("Mid", "Cy", "A-Team", "", QString(), "", QString(), ""))
                 .isValid());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("users.csv"));
    MyExportUsers out(path);
    int count = 0;
    QVERIFY(!out.exportUsers(db, count).isValid());
    QCOMPARE(count, 3);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("LastName;FirstName;UserGroup;UserComment;IDDProximityTransponder;"
                        "CommentProximityTransponder;IDDLongRangeTransponder;"
                        "CommentLongRangeTransponder\r\n"
                        "Mid;Cy;A-Team;;;;;\r\n"
                        "Alpha;Bo;B-Team;;;;E20000112233445566778899;tag\r\n"
                        "Zeta;Anna;B-Team;\"c;1\";04A1B2C3D4E5F6;card;;\r\n"));
}

void TestUserList::exportThenImportKeepsEverything()
{
    TestSupport::TempProject source(QStringLiteral("Source"));
    const QString db = source.databasePath();
    const QString epc = TransponderIdd::fromHex(QStringLiteral("300833B2DDD9014000000001"),
                                                TransponderIdd::EpcClass1Gen2)
                            .toStored();
    const QList<UserRow> users = {
        user("O'Brien", "Seán", "Staff", "night shift", QStringLiteral("04a1b2c3d4e5f6-04"),
             "blue card", epc, "car"),
        user("Müller", "Jörg", "Guests", "", QStringLiteral("0000e004a1b2c3-04"), "", QString(),
             ""),
        user("Tan", "Li", "Staff", "", QString(), "", QString(), ""),
        // Read at a desk reader: longer than the project length, ISO 15693.
        user("Lang", "Ida", "Staff", "", QStringLiteral("e004010012345678-03"), "", QString(), ""),
        // Typed by hand with fewer than 8 digits.
        user("Kurz", "Al", "Staff", "", QStringLiteral("a1b2-04"), "", QString(), ""),
    };
    for (const UserRow &u : users)
        QVERIFY(!UserRecords::addUser(db, u).isValid());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("users.csv"));
    int exported = 0;
    MyExportUsers out(path);
    QVERIFY(!out.exportUsers(db, exported).isValid());
    QCOMPARE(exported, 5);

    TestSupport::TempProject target(QStringLiteral("Target"));
    MyImportUsers in(path);
    in.assignStandardColumns(in.readHeader());
    for (int i = 0; i < MyImportUsers::FieldCount; ++i)
        QCOMPARE(in.column(MyImportUsers::Field(i)), i);
    int imported = 0;
    QVERIFY(!in.importUsers(target.databasePath(), 7, 12, imported).isValid());
    QCOMPARE(imported, 5);
    QCOMPARE(in.skippedLines(), 0);

    const QList<UserRow> before = usersByName(db);
    const QList<UserRow> after = usersByName(target.databasePath());
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < after.size(); ++i) {
        QCOMPARE(after[i].familyName, before[i].familyName);
        QCOMPARE(after[i].firstName, before[i].firstName);
        QCOMPARE(after[i].groupName, before[i].groupName);
        QCOMPARE(after[i].commentUser, before[i].commentUser);
        QCOMPARE(after[i].commentIso14443, before[i].commentIso14443);
        QCOMPARE(after[i].commentClass1Gen2, before[i].commentClass1Gen2);
        QCOMPARE(after[i].iddIso14443, before[i].iddIso14443);
        QCOMPARE(after[i].iddClass1Gen2, before[i].iddClass1Gen2);
    }
}

void TestUserList::exportToUnwritableFile()
{
    TestSupport::TempProject project;
    QTemporaryDir dir;
    MyExportUsers out(dir.filePath(QStringLiteral("missing/folder/users.csv")));
    int count = 0;
    QVERIFY(!out.exportUsers(project.databasePath(), count).isValid());
    QCOMPARE(count, -1);

    MyExportUsers noDb(dir.filePath(QStringLiteral("users.csv")));
    QVERIFY(noDb.exportUsers(dir.filePath(QStringLiteral("no/such/db.sqlite3")), count).isValid());
}

void TestUserList::import_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("imported");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<QStringList>("names"); // "family|first|group|hf" in name order

    const QByteArray header = "LastName;FirstName;UserGroup;IDDProximityTransponder\r\n";
    QTest::newRow("plain") << header + "Ann;Lee;Staff;A1B2C3D4\r\nBo;Ng;;\r\n"
                           << 2 << 0 << sl({"Ann|Lee|Staff|000000a1b2c3d4-04", "Bo|Ng||"});
    QTest::newRow("commas")
        << QByteArray("LastName,FirstName,UserGroup,IDDProximityTransponder\nAnn,Lee,Staff,\n") << 1
        << 0 << sl({"Ann|Lee|Staff|"});
    QTest::newRow("separator per line")
        << QByteArray("LastName,FirstName\r\nAnn;Lee\r\nBo,Ng\r\n") << 2 << 0
        << sl({"Ann|Lee|Import User List|", "Bo|Ng|Import User List|"});
    QTest::newRow("ragged lines skipped, the rest imported")
        << header + "Ann;Lee;Staff;;extra\r\nBo;Ng;;\r\nCy\r\nDi;Ox;;\r\n"
        << 2 << 2 << sl({"Bo|Ng||", "Di|Ox||"});
    QTest::newRow("empty lines passed over") << header + "\r\n   \r\nAnn;Lee;;\r\n\r\n"
                                             << 1 << 0 << sl({"Ann|Lee||"});
    QTest::newRow("quotes") << header + "\"Smith; Jr\";\"Al\";\"Staff\";\"\"\r\n"
                            << 1 << 0 << sl({"Smith; Jr|Al|Staff|"});
    QTest::newRow("Latin-1 bytes") << header + "M\xfcller;J\xf6rg;;\r\n"
                                   << 1 << 0 << QStringList{QString::fromUtf8("Müller|Jörg||")};
    QTest::newRow("UTF-8 bytes") << header + "M\xc3\xbcller;J\xc3\xb6rg;;\r\n"
                                 << 1 << 0 << QStringList{QString::fromUtf8("Müller|Jörg||")};
    QTest::newRow("duplicate name refused, rest imported")
        << header + "Ann;Lee;;\r\nAnn;Lee;;\r\nBo;Ng;;\r\n"
        << 2 << 1 << sl({"Ann|Lee||", "Bo|Ng||"});
    QTest::newRow("invalid identifier left out") << header + "Ann;Lee;;A1B2Z\r\n"
                                                 << 1 << 0 << sl({"Ann|Lee||"});
    QTest::newRow("line break inside quotes: one record, refused in a group name")
        << header + "\"Ann\";Lee;\"two\r\nlines\";\r\nBo;Ng;;\r\n"
        << 1 << 1 << sl({"Bo|Ng||"});
    QTest::newRow("unclosed quote swallows nothing")
        << header + "Ann;\"Lee;;\r\nBo;Ng;;\r\nCy;Ox;;\r\n"
        << 3 << 0 << sl({"Ann|\"Lee||", "Bo|Ng||", "Cy|Ox||"});
    QTest::newRow("header only") << header << 0 << 0 << QStringList{};
    QTest::newRow("empty file") << QByteArray() << 0 << 0 << QStringList{};
    QTest::newRow("missing header: first line taken as header")
        << QByteArray("Ann;Lee;Staff;A1B2C3D4\r\nBo;Ng;;\r\n") << 0 << 1 << QStringList{};
    QTest::newRow("no trailing line end") << header + "Ann;Lee;;" << 1 << 0 << sl({"Ann|Lee||"});
}

void TestUserList::import()
{
    QFETCH(QByteArray, content);
    QFETCH(int, imported);
    QFETCH(int, skipped);
    QFETCH(QStringList, names);
    TestSupport::TempProject project;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.csv"));
    QVERIFY(writeBytes(path, content));
    MyImportUsers in(path);
    in.assignStandardColumns(in.readHeader());
    int count = 0;
    QVERIFY(!in.importUsers(project.databasePath(), 7, 12, count).isValid());
    QCOMPARE(count, imported);
    QCOMPARE(in.skippedLines(), skipped);
    QStringList found;
    for (const UserRow &u : usersByName(project.databasePath()))
        found << QStringList{u.familyName, u.firstName, u.groupName, u.iddIso14443}.join(
            QLatin1Char('|'));
    QCOMPARE(found, names);
}

void TestUserList::automaticNamesSkipTakenOnes()
{
    TestSupport::TempProject project;
    const QString db = project.databasePath();
    QVERIFY(!UserRecords::addUser(db, user("Ann", "Lee", "", "", QString(), "", QString(), ""))
                 .isValid());
    // Two users, so numbering starts at 3, which is taken.
    QVERIFY(
        !UserRecords::addUser(db, user("Import3", "Import3", "", "", QString(), "", QString(), ""))
             .isValid());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.csv"));
    QVERIFY(writeBytes(path, "Card;Note\r\nA1B2C3D4;x\r\nA1B2C3D5;y\r\nA1B2C3D6;z\r\n"));
    MyImportUsers in(path);
    in.setColumn(MyImportUsers::ShortRangeIdd, 0);
    in.setColumn(MyImportUsers::ShortRangeComment, 1);
    int count = 0;
    QVERIFY(!in.importUsers(db, 4, 12, count).isValid());
    QCOMPARE(count, 3);
    QStringList names;
    for (const UserRow &u : usersByName(db))
        if (!u.commentIso14443.isEmpty())
            names << u.familyName + QLatin1Char('/') + u.firstName + QLatin1Char('/') +
                         u.groupName + QLatin1Char('/') + u.commentIso14443;
    names.sort();
    QCOMPARE(names, sl({"Import4/Import4/Import User List/x", "Import5/Import5/Import User List/y",
                        "Import6/Import6/Import User List/z"}));
}

void TestUserList::importMissingFile()
{
    TestSupport::TempProject project;
    QTemporaryDir dir;
    MyImportUsers in(dir.filePath(QStringLiteral("none.csv")));
    QVERIFY(in.readHeader().isEmpty());
    int count = 0;
    QVERIFY(!in.importUsers(project.databasePath(), 7, 12, count).isValid());
    QCOMPARE(count, -1);
}

void TestUserList::importWithoutNameColumnsOrIdds()
{
    TestSupport::TempProject project;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.csv"));
    QVERIFY(writeBytes(path, "Group;Comment\r\nStaff;a\r\nStaff;b\r\n"));
    MyImportUsers in(path);
    in.assignStandardColumns(in.readHeader());
    in.setColumn(MyImportUsers::UserGroup, 0);
    int count = 0;
    QVERIFY(!in.importUsers(project.databasePath(), 7, 12, count).isValid());
    QCOMPARE(count, 0);
    QCOMPARE(in.skippedLines(), 2);
    QVERIFY(usersByName(project.databasePath()).isEmpty());
}

void TestUserList::hostileTextsRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("separator") << "night; day";
    QTest::newRow("comma") << "a,b";
    QTest::newRow("quotes") << "say \"hi\"";
    QTest::newRow("only a quote") << "\"";
    QTest::newRow("line feed") << "one\ntwo";
    QTest::newRow("CR LF") << "one\r\ntwo";
    QTest::newRow("everything") << "\"a\";b\n;\"";
    QTest::newRow("formula") << "=HYPERLINK(\"x\")";
    QTest::newRow("plus") << "+49 30 1234";
    QTest::newRow("minus") << "-5";
    QTest::newRow("at") << "@SUM(A1)";
    QTest::newRow("tab before a formula") << "\t=HYPERLINK(\"x\")";
    QTest::newRow("tab inside") << "a\t=1+1";
    QTest::newRow("guard look-alike") << "'=x";
    QTest::newRow("apostrophes") << "''";
    QTest::newRow("one apostrophe") << "'";
    QTest::newRow("apostrophe word") << "'tis";
    QTest::newRow("outer blanks") << "  padded  ";
    QTest::newRow("umlauts") << QString::fromUtf8("Grüße");
}

void TestUserList::hostileTextsRoundTrip()
{
    QFETCH(QString, text);
    TestSupport::TempProject source(QStringLiteral("Source"));
    UserRow u;
    // Names refuse control characters; comments keep them.
    const QString name =
        RecordStatement::hasControlCharacter(text) ? QStringLiteral("Plain") : text;
    u.familyName = name;
    u.firstName = QStringLiteral("First ") + name;
    u.groupName = name + QStringLiteral(" group");
    u.commentUser = text;
    u.commentIso14443 = text;
    u.commentClass1Gen2 = text;
    u.iddIso14443 = QStringLiteral("04a1b2c3d4e5f6-04");
    QVERIFY(!UserRecords::addUser(source.databasePath(), u).isValid());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("users.csv"));
    int count = 0;
    MyExportUsers out(path);
    QVERIFY(!out.exportUsers(source.databasePath(), count).isValid());
    QCOMPARE(count, 1);

    // No field of the file starts a formula in a spreadsheet.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(file.readAll());
    for (const QChar c : {QLatin1Char('='), QLatin1Char('+'), QLatin1Char('-'), QLatin1Char('@')}) {
        // A tab may separate fields as well as the ';'.
        for (const QString &before :
             {QStringLiteral(";"), QStringLiteral(";\""), QStringLiteral("\n"),
              QStringLiteral("\n\""), QStringLiteral(";\t"), QStringLiteral(";\"\t"),
              QStringLiteral("\n\t"), QStringLiteral("\n\"\t")}) {
            QVERIFY2(!content.contains(before + c), qPrintable(before + c));
        }
        QVERIFY(!content.startsWith(c));
    }

    TestSupport::TempProject target(QStringLiteral("Target"));
    MyImportUsers in(path);
    in.assignStandardColumns(in.readHeader());
    QVERIFY(!in.importUsers(target.databasePath(), 7, 12, count).isValid());
    QCOMPARE(count, 1);
    const QList<UserRow> back = usersByName(target.databasePath());
    QCOMPARE(back.size(), 1);
    QCOMPARE(back[0].familyName, u.familyName);
    QCOMPARE(back[0].firstName, u.firstName);
    QCOMPARE(back[0].groupName, u.groupName);
    QCOMPARE(back[0].commentUser, u.commentUser);
    QCOMPARE(back[0].commentIso14443, u.commentIso14443);
    QCOMPARE(back[0].commentClass1Gen2, u.commentClass1Gen2);
    QCOMPARE(back[0].iddIso14443, u.iddIso14443);
}

void TestUserList::refusedIdentifiersNamed()
{
    TestSupport::TempProject project;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.csv"));
    QVERIFY(writeBytes(path, "LastName;FirstName;UserComment;IDDProximityTransponder;"
                             "IDDLongRangeTransponder\r\n"
                             "Ann;Lee;\"two\nlines\";A1B2Z;\r\n"
                             "Bo;Ng;kept;A1B2C3D4;E200XYZ\r\n"
                             "Cy;Ox;;;\r\n"
                             "Di;Po;;   ;\r\n"
                             "Ed;Qu;;" +
                                 QByteArray(2 * TransponderIdd::MaxBytes + 2, '1') + ";\r\n"));
    MyImportUsers in(path);
    in.assignStandardColumns(in.readHeader());
    int count = 0;
    QVERIFY(!in.importUsers(project.databasePath(), 7, 12, count).isValid());
    QCOMPARE(count, 5);
    QCOMPARE(in.refusedIdentifierCount(), 3);
    const QList<MyImportUsers::RefusedIdentifier> refused = in.refusedIdentifiers();
    QCOMPARE(refused.size(), 3);
    QCOMPARE(refused[0].line, 2);
    QCOMPARE(refused[0].familyName, QStringLiteral("Ann"));
    QCOMPARE(refused[0].text, QStringLiteral("A1B2Z"));
    QVERIFY(!refused[0].longRange);
    // The quoted line break above spans two lines of the file.
    QCOMPARE(refused[1].line, 4);
    QCOMPARE(refused[1].text, QStringLiteral("E200XYZ"));
    QVERIFY(refused[1].longRange);
    QCOMPARE(refused[2].line, 7);
    QCOMPARE(refused[2].firstName, QStringLiteral("Qu"));
    // Nothing raw reaches the identifier columns; the rest of each line is kept.
    for (const UserRow &u : usersByName(project.databasePath())) {
        QVERIFY2(u.iddIso14443.isEmpty() || TransponderIdd::fromStored(u.iddIso14443).isValid(),
                 qPrintable(u.iddIso14443));
        QVERIFY(u.iddClass1Gen2.isEmpty());
        if (u.familyName == QLatin1String("Bo")) {
            QCOMPARE(u.commentUser, QStringLiteral("kept"));
            QCOMPARE(u.iddIso14443, QStringLiteral("000000a1b2c3d4-04"));
        }
        if (u.familyName == QLatin1String("Ann"))
            QCOMPARE(u.commentUser, QStringLiteral("two\nlines"));
    }
}

void TestUserList::largeFileWithBadLines()
{
    // 10,000 data lines; every 10th has a column too many, every 7th an
    // identifier that is no hex number, and 1003, 2003, ... repeat a name.
    QByteArray content = "LastName;FirstName;IDDProximityTransponder\r\n";
    int expectedBad = 0;
    int expectedRefused = 0;
    for (int i = 1; i <= 10000; ++i) {
        QByteArray name = "User" + QByteArray::number(i % 1000 == 3 ? 3 : i);
        QByteArray card = QByteArray::number(0x10000000 + i, 16);
        if (i % 7 == 0) {
            card = "NOT-HEX-" + QByteArray::number(i);
            if (i % 10 != 0)
                ++expectedRefused;
        }
        if (i % 10 == 0) {
            content += name + ";x;" + card + ";extra\r\n";
            ++expectedBad;
        } else {
            content += name + ";x;" + card + "\r\n";
        }
    }
    TestSupport::TempProject project;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.csv"));
    QVERIFY(writeBytes(path, content));
    MyImportUsers in(path);
    in.assignStandardColumns(in.readHeader());
    int count = 0;
    QVERIFY(!in.importUsers(project.databasePath(), 7, 12, count).isValid());
    QCOMPARE(count, 10000 - expectedBad - 9);
    QCOMPARE(in.skippedLines(), expectedBad + 9);
    QCOMPARE(in.rejectedLines(), 9);
    QCOMPARE(in.skippedLineNumbers().size(), MyImportUsers::MaxListedLines);
    QCOMPARE(in.skippedLineNumbers().first(), 11); // data line 10 is line 11 of the file
    QCOMPARE(in.refusedIdentifierCount(), expectedRefused);
    QCOMPARE(in.refusedIdentifiers().first().line, 8);
    QCOMPARE(in.refusedIdentifiers().first().text, QStringLiteral("NOT-HEX-7"));
}

void TestUserList::databaseFailureKeepsNothing()
{
    TestSupport::TempProject project;
    {
        // A failure that is no duplicate: the third user's row cannot be written.
        ProjectDatabase db(project.databasePath());
        QVERIFY(db.open());
        QSqlQuery q = db.query();
        if (TestSupport::onServer())
            QVERIFY(q.exec(QStringLiteral(
                        "create function boom() returns trigger language plpgsql as $$begin "
                        "raise exception 'boom'; end$$")) &&
                    q.exec(QStringLiteral("create trigger boom after insert on users for each row "
                                          "when (new.familyName='Boom') execute function boom()")));
        else
            QVERIFY(q.exec(QStringLiteral("create trigger boom after insert on users when "
                                          "new.familyName='Boom' begin select "
                                          "zeroblob(2000000000); end")));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.csv"));
    QVERIFY(writeBytes(path, "LastName;FirstName\r\nAnn;Lee\r\nBo;Ng\r\nBoom;X\r\nCy;Ox\r\n"));
    MyImportUsers in(path);
    in.assignStandardColumns(in.readHeader());
    int count = 0;
    const QSqlError error = in.importUsers(project.databasePath(), 7, 12, count);
    QVERIFY(error.isValid());
    QVERIFY(error.nativeErrorCode() != QLatin1String("19"));
    QCOMPARE(count, 0);
    QVERIFY(usersByName(project.databasePath()).isEmpty());
}

KX_TEST_MAIN(TestUserList)
#include "tst_userlist.moc"
