// Which manual Help / Quick Start Guide opens, and that the build puts both
// beside the programs where the manual folder resolves.
#include "core/paths.h"
#include "support/testsupport.h"

#include <QFile>

class TestManualFile : public QObject
{
    Q_OBJECT
private slots:
    void choice_data();
    void choice();
    void bothManualsInTheManualFolder_data();
    void bothManualsInTheManualFolder();
};

void TestManualFile::choice_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<bool>("translate");
    QTest::addColumn<QString>("manual");
    const QString en = QStringLiteral("Kelvara-Manager-Manual-en.pdf");
    const QString de = QStringLiteral("Kelvara-Manager-Manual-de.pdf");
    QTest::newRow("German system") << QStringList{QStringLiteral("de-DE")} << true << de;
    QTest::newRow("Austrian system")
        << QStringList{QStringLiteral("de-AT"), QStringLiteral("en")} << true << de;
    QTest::newRow("German system with notr") << QStringList{QStringLiteral("de-DE")} << false << en;
    QTest::newRow("English system") << QStringList{QStringLiteral("en-US")} << true << en;
    QTest::newRow("German only second")
        << QStringList{QStringLiteral("fr-FR"), QStringLiteral("de")} << true << en;
    QTest::newRow("capitals do not count") << QStringList{QStringLiteral("DE-de")} << true << en;
    QTest::newRow("no languages") << QStringList() << true << en;
}

void TestManualFile::choice()
{
    QFETCH(QStringList, languages);
    QFETCH(bool, translate);
    QFETCH(QString, manual);
    QCOMPARE(manualFileName(languages, translate), manual);
}

void TestManualFile::bothManualsInTheManualFolder_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("en-GB");
    QTest::newRow("German") << QStringLiteral("de-DE");
}

void TestManualFile::bothManualsInTheManualFolder()
{
    // The test programs live beside the others, so this is the build tree's folder.
    QFETCH(QString, language);
    QFile pdf(manualPath() + QLatin1Char('/') + manualFileName({language}, true));
    QVERIFY2(pdf.open(QIODevice::ReadOnly), qPrintable(pdf.fileName()));
    QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
    QVERIFY(pdf.size() > 10000);
}

KX_TEST_MAIN(TestManualFile)
#include "tst_manualfile.moc"
