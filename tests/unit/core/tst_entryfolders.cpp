#include "core/paths.h"
#include "support/testsupport.h"

#include <QDir>
#include <QTemporaryDir>

Q_DECLARE_METATYPE(EntryFolderSource)
using Sources = QList<EntryFolderSource>;

namespace {

EntryFolderSource entry(int key, const char *name, const char *area)
{
    return {key, QString::fromUtf8(name), QString::fromUtf8(area)};
}

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

} // namespace

class TestEntryFolders : public QObject
{
    Q_OBJECT
private slots:
    void safeNames_data();
    void safeNames();
    void pathsStayInTheProject();
    void longNamesGetAFolder_data();
    void longNamesGetAFolder();
    void keys_data();
    void keys();
};

void TestEntryFolders::safeNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("safe");
    QTest::newRow("plain kept") << "Main Entrance"
                                << "Main Entrance";
    QTest::newRow("umlaut and dot kept") << "Tür 2.OG"
                                         << "Tür 2.OG";
    QTest::newRow("parent steps") << "../../../../tmp/x"
                                  << "_._.__.__.__tmp_x";
    QTest::newRow("backslash") << "a\\b"
                               << "a_b";
    QTest::newRow("leading dot") << ".hidden"
                                 << "_hidden";
    QTest::newRow("control characters") << QStringLiteral("a\tb\nc\x7f") << "a_b_c_";
    QTest::newRow("dot alone") << "."
                               << "_";
    QTest::newRow("three dots") << "a...b"
                                << "a._.b";
}

void TestEntryFolders::safeNames()
{
    QFETCH(QString, name);
    QTEST(safeFolderName(name), "safe");
    QCOMPARE(safeFolderName(safeFolderName(name)), safeFolderName(name));
}

void TestEntryFolders::pathsStayInTheProject()
{
    QCOMPARE(entryDataPath(QStringLiteral("/p"), QStringLiteral("../../x")),
             QStringLiteral("/p/data/data-_._.__x"));
    QCOMPARE(entryLogPath(QStringLiteral("/p"), QStringLiteral("a/b")),
             QStringLiteral("/p/log/log-a_b"));
}

void TestEntryFolders::longNamesGetAFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("asTyped");
    QTest::newRow("251 characters fit as typed") << QString(251, QLatin1Char('a')) << true;
    QTest::newRow("300 characters") << QString(300, QLatin1Char('a')) << false;
    QTest::newRow("200 umlauts, 400 bytes") << QString(200, QChar(0xFC)) << false;
}

void TestEntryFolders::longNamesGetAFolder()
{
    QFETCH(QString, name);
    QFETCH(bool, asTyped);
    QTemporaryDir project;
    const QString log = entryLogPath(project.path(), name);
    const QString data = entryDataPath(project.path(), name);
    QCOMPARE(log == project.path() + QStringLiteral("/log/log-") + name, asTyped);
    QVERIFY2(QDir().mkpath(log) && QDir().mkpath(data), qPrintable(log));
    // Names cut alike still get folders of their own.
    QVERIFY(entryLogPath(project.path(), name + QLatin1Char('b')) != log);
}

void TestEntryFolders::keys_data()
{
    QTest::addColumn<Sources>("entries");
    QTest::addColumn<QStringList>("keys"); // in the order of the entries

    QTest::newRow("own names kept")
        << Sources{entry(1, "Gate", "Yard"), entry(2, "Door", "Hall")} << strings({"Gate", "Door"});
    QTest::newRow("one name in two areas")
        << Sources{entry(1, "Main Entrance", "North"), entry(2, "Main Entrance", "South"),
                   entry(3, "Lab", "North")}
        << strings({"Main Entrance (North)", "Main Entrance (South)", "Lab"});
    QTest::newRow("one name twice in one area")
        << Sources{entry(4, "Door", "Hall"), entry(9, "Door", "Hall")}
        << strings({"Door (Hall)", "Door (Hall) #9"});
    QTest::newRow("unsafe name") << Sources{entry(1, "../x", "Hall")} << strings({"_._x (Hall)"});
    QTest::newRow("made key meets an own name")
        << Sources{entry(1, "a/b", "H"), entry(2, "a_b (H)", "H")}
        << strings({"a_b (H) #1", "a_b (H)"});
    QTest::newRow("no area") << Sources{entry(1, "Door", ""), entry(2, "Door", "")}
                             << strings({"Door", "Door #2"});
}

void TestEntryFolders::keys()
{
    QFETCH(Sources, entries);
    QFETCH(QStringList, keys);
    const QHash<int, QString> got = entryFolderKeys(entries);
    QStringList ordered;
    for (const EntryFolderSource &e : entries)
        ordered << got.value(e.pkDoors);
    QCOMPARE(ordered, keys);
}

KX_TEST_MAIN(TestEntryFolders)
#include "tst_entryfolders.moc"
