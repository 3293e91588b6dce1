// The reader pictures by type and the firmware refusal box.
#include "support/testsupport.h"
#include "widgets/kxmessagebox.h"
#include "widgets/kxresources.h"
#include "widgets/readerfirmwarecheck.h"
#include "widgets/readerpicture.h"

#include <QApplication>
#include <QImage>

class TestReaderWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { kxInitResources(); }
    void picture_data();
    void picture();
    void firmware_data();
    void firmware();
};

void TestReaderWidgets::picture_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("file"); // empty: no picture
    QTest::newRow("100") << 100 << ":/TZ60.png";
    QTest::newRow("101") << 101 << ":/TZU700.png";
    QTest::newRow("863") << 863 << ":/TZU300.png";
    QTest::newRow("82") << 82 << ":/PQ20.png";
    QTest::newRow("86") << 86 << ":/PQ20.png";
    QTest::newRow("54") << 54 << ":/LRX7.png";
    QTest::newRow("5") << 5 << "";
}

void TestReaderWidgets::picture()
{
    QFETCH(int, type);
    QFETCH(QString, file);
    const QPixmap pixmap = readerPicture(type);
    if (file.isEmpty()) {
        QVERIFY(pixmap.isNull());
        return;
    }
    QCOMPARE(qMax(pixmap.width(), pixmap.height()), 100);
    // A drawing on a clear background: corners transparent, a good part covered.
    const QImage image(file);
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    int covered = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            covered += qAlpha(image.pixel(x, y)) > 128;
    QVERIFY2(covered > image.width() * image.height() / 4, qPrintable(QString::number(covered)));
}

void TestReaderWidgets::firmware_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("box"); // empty: passes without a box
    const QString text = QStringLiteral("The available reader firmware version is '%1'\n"
                                        "The required version is '%2'\n\n"
                                        "Please perform a firmware update.");
    QTest::newRow("newer minor") << 100 << "02.10.00"
                                 << "";
    QTest::newRow("equal") << 100 << "02.08.00"
                           << "";
    QTest::newRow("older patch level")
        << 100 << "02.07.09" << text.arg(QLatin1String("02.07.09"), QLatin1String("02.08.00"));
    QTest::newRow("major only") << 100 << "3"
                                << "";
    QTest::newRow("empty") << 101 << ""
                           << text.arg(QLatin1String("00.00.00"), QLatin1String("02.00.00"));
    QTest::newRow("short parts padded")
        << 863 << "1.0.7" << text.arg(QLatin1String("01.00.07"), QLatin1String("01.01.00"));
    QTest::newRow("desk reader has no minimum") << 54 << ""
                                                << "";
}

void TestReaderWidgets::firmware()
{
    QFETCH(int, type);
    QFETCH(QString, version);
    QFETCH(QString, box);
    QStringList boxes;
    KxMessageBox::ScopedAnswerer answerer(
        [&](QMessageBox::Icon icon, const QString &title, const QString &text) {
            boxes << QStringLiteral("%1|%2|%3").arg(int(icon)).arg(title, text);
            return QMessageBox::Ok;
        });
    QCOMPARE(confirmReaderFirmware(nullptr, type, version), box.isEmpty());
    QCOMPARE(boxes, box.isEmpty() ? QStringList()
                                  : QStringList{QStringLiteral("%1|Wrong Firmware Version|%2")
                                                    .arg(int(QMessageBox::Critical))
                                                    .arg(box)});
}

KX_TEST_GUI_MAIN(TestReaderWidgets)
#include "tst_readerwidgets.moc"
