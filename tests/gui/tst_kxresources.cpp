#include "support/testsupport.h"
#include "widgets/kxresources.h"

#include <QApplication>
#include <QIcon>
#include <QImage>

class TestKxResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void icon_data();
    void icon();
};

void TestKxResources::initTestCase()
{
    kxInitResources();
}

void TestKxResources::icon_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("size");

    for (const char *name :
         {"tab-kelvara-48", "users-48", "doors-48", "times-48", "update-48", "korvex-logo-48"})
        QTest::newRow(name) << QStringLiteral(":/%1.png").arg(QLatin1String(name)) << 48;
    for (const char *name : {"holiday-16", "minus-16", "plus-16", "edit-16"})
        QTest::newRow(name) << QStringLiteral(":/%1.png").arg(QLatin1String(name)) << 16;
}

void TestKxResources::icon()
{
    QFETCH(QString, path);
    QFETCH(int, size);

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());

    // A drawing, not an empty or solid square: a fair share of the pixels is
    // covered, some stay clear, and it has more than two colours.
    int covered = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) > 128)
                ++covered;
            colours.insert(pixel);
        }
    }
    QVERIFY2(covered > size * size / 5, qPrintable(QString::number(covered)));
    QVERIFY2(covered < size * size, qPrintable(QString::number(covered)));
    QVERIFY(colours.size() > 3);
    QVERIFY(!QIcon(path).pixmap(size, size).isNull());
}

KX_TEST_GUI_MAIN(TestKxResources)
#include "tst_kxresources.moc"
