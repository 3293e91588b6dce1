#include "support/testsupport.h"
#include "widgets/kxmessagebox.h"

#include <QApplication>
#include <QRegularExpression>

namespace {
struct Shown
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    int count = 0;
};
} // namespace

class TestKxMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void answererGetsEveryBox_data();
    void answererGetsEveryBox();
    void answersOutsideTheButtons_data();
    void answersOutsideTheButtons();
    void scopedAnswererRestores();
    void noAnswererNeverBlocks();
};

void TestKxMessageBox::answererGetsEveryBox_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("answer");

    QTest::newRow("information") << 0 << int(QMessageBox::Information) << int(QMessageBox::Ok);
    QTest::newRow("warning") << 1 << int(QMessageBox::Warning) << int(QMessageBox::Ok);
    QTest::newRow("critical") << 2 << int(QMessageBox::Critical) << int(QMessageBox::Ok);
    QTest::newRow("question yes") << 3 << int(QMessageBox::Question) << int(QMessageBox::Yes);
    QTest::newRow("question no") << 3 << int(QMessageBox::Question) << int(QMessageBox::No);
}

void TestKxMessageBox::answererGetsEveryBox()
{
    QFETCH(int, kind);
    QFETCH(int, icon);
    QFETCH(int, answer);

    Shown shown;
    KxMessageBox::ScopedAnswerer answerer(
        [&](QMessageBox::Icon boxIcon, const QString &title, const QString &text) {
            shown.icon = boxIcon;
            shown.title = title;
            shown.text = text;
            ++shown.count;
            return QMessageBox::StandardButton(answer);
        });
    QVERIFY(KxMessageBox::hasAnswerer());

    const QString title = QStringLiteral("DB add user");
    const QString text = QStringLiteral("Data set entry already exists\n\nO'Brien");
    QMessageBox::StandardButton result = QMessageBox::NoButton;
    switch (kind) {
    case 0:
        result = KxMessageBox::information(nullptr, title, text);
        break;
    case 1:
        result = KxMessageBox::warning(nullptr, title, text);
        break;
    case 2:
        result = KxMessageBox::critical(nullptr, title, text);
        break;
    default:
        result = KxMessageBox::question(nullptr, title, text);
        break;
    }
    QCOMPARE(int(result), answer);
    QCOMPARE(shown.count, 1);
    QCOMPARE(int(shown.icon), icon);
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.text, text);
}

void TestKxMessageBox::answersOutsideTheButtons_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("expected");

    QTest::newRow("yes/no falls back to no") << int(QMessageBox::Yes | QMessageBox::No)
                                             << int(QMessageBox::NoButton) << int(QMessageBox::No);
    QTest::newRow("ok/cancel falls back to cancel")
        << int(QMessageBox::Ok | QMessageBox::Cancel) << int(QMessageBox::Ok)
        << int(QMessageBox::Cancel);
    QTest::newRow("save/discard falls back to the default")
        << int(QMessageBox::Save | QMessageBox::Discard) << int(QMessageBox::Save)
        << int(QMessageBox::Save);
    QTest::newRow("ok only") << int(QMessageBox::Ok) << int(QMessageBox::NoButton)
                             << int(QMessageBox::Ok);
}

void TestKxMessageBox::answersOutsideTheButtons()
{
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    QFETCH(int, expected);

    // A caller acts on the answer: it must be one of the buttons it offered.
    KxMessageBox::ScopedAnswerer answerer(
        [](QMessageBox::Icon, const QString &, const QString &) { return QMessageBox::Retry; });
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not among the buttons")));
    const QMessageBox::StandardButton result = KxMessageBox::show(
        QMessageBox::Question, nullptr, QStringLiteral("Rename Area"), QStringLiteral("?"),
        QMessageBox::StandardButtons(buttons), QMessageBox::StandardButton(defaultButton));
    QCOMPARE(int(result), expected);
}

void TestKxMessageBox::scopedAnswererRestores()
{
    QVERIFY(!KxMessageBox::hasAnswerer());
    int outer = 0;
    int inner = 0;
    {
        KxMessageBox::ScopedAnswerer first(
            [&](QMessageBox::Icon, const QString &, const QString &) {
                ++outer;
                return QMessageBox::Ok;
            });
        {
            KxMessageBox::ScopedAnswerer second(
                [&](QMessageBox::Icon, const QString &, const QString &) {
                    ++inner;
                    return QMessageBox::Ok;
                });
            KxMessageBox::information(nullptr, QStringLiteral("Ok"), QStringLiteral("inner"));
        }
        KxMessageBox::information(nullptr, QStringLiteral("Ok"), QStringLiteral("outer"));
    }
    QCOMPARE(inner, 1);
    QCOMPARE(outer, 1);
    QVERIFY(!KxMessageBox::hasAnswerer());

    // An answerer may replace itself while answering.
    int calls = 0;
    KxMessageBox::setAnswerer([&](QMessageBox::Icon, const QString &, const QString &) {
        ++calls;
        KxMessageBox::setAnswerer(KxMessageBox::Answerer());
        return QMessageBox::Yes;
    });
    QCOMPARE(KxMessageBox::question(nullptr, QStringLiteral("Q"), QStringLiteral("?")),
             QMessageBox::Yes);
    QCOMPARE(calls, 1);
    QVERIFY(!KxMessageBox::hasAnswerer());
}

void TestKxMessageBox::noAnswererNeverBlocks()
{
    // Offscreen nobody could press a button: the box answers as if closed.
    QVERIFY(!KxMessageBox::hasAnswerer());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("unanswered box")));
    QCOMPARE(KxMessageBox::question(nullptr, QStringLiteral("Delete"), QStringLiteral("Sure?")),
             QMessageBox::No);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("unanswered box")));
    QCOMPARE(KxMessageBox::critical(nullptr, QStringLiteral("Reader Error"), QStringLiteral("x")),
             QMessageBox::Ok);
}

KX_TEST_GUI_MAIN(TestKxMessageBox)
#include "tst_kxmessagebox.moc"
