// Help / Quick Start Guide opens the chosen manual from the manual folder, and
// tells where it looked when the file is missing.
#include "app/kelvaraman.h"
#include "core/paths.h"
#include "support/testsupport.h"
#include "widgets/guimessages.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"

#include <QApplication>
#include <QUrl>

class TestQuickStart : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void opensTheManualOfTheLanguage_data();
    void opensTheManualOfTheLanguage();
    void missingManualNamesItsPath();

private:
    QList<QUrl> m_opened;
    QStringList m_boxes;
};

void TestQuickStart::initTestCase()
{
    kxInitResources();
    setUrlOpener([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
    KxMessageBox::setAnswerer([this](QMessageBox::Icon, const QString &title, const QString &text) {
        m_boxes << title + QLatin1Char('|') + text;
        return QMessageBox::No;
    });
}

void TestQuickStart::opensTheManualOfTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("file");
    QTest::newRow("English") << QStringLiteral("en-US") << "Kelvara-Manager-Manual-en.pdf";
    QTest::newRow("German") << QStringLiteral("de-DE") << "Kelvara-Manager-Manual-de.pdf";
}

void TestQuickStart::opensTheManualOfTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, file);
    m_opened.clear();
    m_boxes.clear();
    KelvaraMan window;
    window.setManualFile(manualFileName({language}, true));
    window.helpQuickStart();
    QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.join(QLatin1Char('\n'))));
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.first().toLocalFile(), manualPath() + QLatin1Char('/') + file);
}

void TestQuickStart::missingManualNamesItsPath()
{
    m_opened.clear();
    m_boxes.clear();
    KelvaraMan window;
    window.setManualFile(QStringLiteral("Kelvara-Manager-Manual-xx.pdf"));
    window.helpQuickStart();
    QVERIFY(m_opened.isEmpty());
    QCOMPARE(m_boxes.size(), 1);
    QVERIFY2(m_boxes.first().startsWith(QLatin1String("Open file|")), qPrintable(m_boxes.first()));
    QVERIFY(
        m_boxes.first().contains(manualPath() + QStringLiteral("/Kelvara-Manager-Manual-xx.pdf")));
}

KX_TEST_GUI_MAIN(TestQuickStart)
#include "tst_quickstart.moc"
