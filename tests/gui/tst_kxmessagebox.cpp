#include "support/testsupport.h"
#include "widgets/kxmessagebox.h"

#include <QApplication>
#include <QRegularExpression>

using Button = QMessageBox::StandardButton;

class TestKxMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void answererGetsEveryBox_data();
    void answererGetsEveryBox();
    void answersAreOfferedButtons_data();
    void answersAreOfferedButtons();
    void answerersNestAndReplaceThemselves();
    void wideEnoughForTitle();
};

void TestKxMessageBox::answererGetsEveryBox_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("answer");

    QTest::newRow("information") << int(QMessageBox::Information) << int(QMessageBox::Ok);
    QTest::newRow("warning") << int(QMessageBox::Warning) << int(QMessageBox::Ok);
    QTest::newRow("critical") << int(QMessageBox::Critical) << int(QMessageBox::Ok);
    QTest::newRow("question yes") << int(QMessageBox::Question) << int(QMessageBox::Yes);
    QTest::newRow("question no") << int(QMessageBox::Question) << int(QMessageBox::No);
}

void TestKxMessageBox::answererGetsEveryBox()
{
    QFETCH(int, icon);
    QFETCH(int, answer);

    QStringList seen;
    KxMessageBox::ScopedAnswerer answerer(
        [&](QMessageBox::Icon boxIcon, const QString &title, const QString &text) {
            seen << QString::number(boxIcon) << title << text;
            return Button(answer);
        });
    const QString title = QStringLiteral("DB add user");
    const QString text = QStringLiteral("Data set entry already exists\n\nO'Brien");
    using Call = Button (*)(QWidget *, const QString &, const QString &,
                            QMessageBox::StandardButtons, Button);
    const QMap<int, Call> calls{{QMessageBox::Information, &KxMessageBox::information},
                                {QMessageBox::Warning, &KxMessageBox::warning},
                                {QMessageBox::Critical, &KxMessageBox::critical},
                                {QMessageBox::Question, &KxMessageBox::question}};
    const QMessageBox::StandardButtons buttons =
        icon == QMessageBox::Question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QCOMPARE(int(calls.value(icon)(nullptr, title, text, buttons, QMessageBox::NoButton)), answer);
    QCOMPARE(seen, (QStringList{QString::number(icon), title, text}));
}

void TestKxMessageBox::answersAreOfferedButtons_data()
{
    QTest::addColumn<bool>("answered");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("expected");

    // A caller acts on the answer, so it is always one of the buttons offered;
    // a stray answer, or no answerer offscreen, counts as closing the box.
    const int yesNo = QMessageBox::Yes | QMessageBox::No;
    const int okCancel = QMessageBox::Ok | QMessageBox::Cancel;
    const int saveDiscard = QMessageBox::Save | QMessageBox::Discard;
    QTest::newRow("stray answer to yes/no") << true << yesNo << 0 << int(QMessageBox::No);
    QTest::newRow("stray answer to ok/cancel")
        << true << okCancel << int(QMessageBox::Ok) << int(QMessageBox::Cancel);
    QTest::newRow("stray answer, default")
        << true << saveDiscard << int(QMessageBox::Save) << int(QMessageBox::Save);
    QTest::newRow("stray answer to ok")
        << true << int(QMessageBox::Ok) << 0 << int(QMessageBox::Ok);
    QTest::newRow("unanswered question")
        << false << yesNo << int(QMessageBox::Yes) << int(QMessageBox::No);
    QTest::newRow("unanswered error") << false << int(QMessageBox::Ok) << 0 << int(QMessageBox::Ok);
}

void TestKxMessageBox::answersAreOfferedButtons()
{
    QFETCH(bool, answered);
    QFETCH(int, buttons);
    QFETCH(int, defaultButton);
    QFETCH(int, expected);

    QVERIFY(!KxMessageBox::hasAnswerer());
    if (answered) {
        KxMessageBox::setAnswerer(
            [](QMessageBox::Icon, const QString &, const QString &) { return QMessageBox::Retry; });
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(answered ? QStringLiteral("not among")
                                                                   : QStringLiteral("unanswered")));
    const Button result = KxMessageBox::show(
        QMessageBox::Question, nullptr, QStringLiteral("Rename Area"), QStringLiteral("?"),
        QMessageBox::StandardButtons(buttons), Button(defaultButton));
    KxMessageBox::setAnswerer(KxMessageBox::Answerer());
    QCOMPARE(int(result), expected);
}

void TestKxMessageBox::answerersNestAndReplaceThemselves()
{
    QString order;
    auto answering = [&order](QChar name) {
        return [&order, name](QMessageBox::Icon, const QString &, const QString &) {
            order += name;
            return QMessageBox::Ok;
        };
    };
    {
        KxMessageBox::ScopedAnswerer outer(answering(QLatin1Char('o')));
        {
            KxMessageBox::ScopedAnswerer inner(answering(QLatin1Char('i')));
            KxMessageBox::information(nullptr, QStringLiteral("Ok"), QString());
        }
        KxMessageBox::information(nullptr, QStringLiteral("Ok"), QString());
    }
    QCOMPARE(order, QStringLiteral("io"));
    QVERIFY(!KxMessageBox::hasAnswerer());

    // An answerer that removes itself while answering must not pull the
    // function it runs in out from under itself.
    KxMessageBox::setAnswerer([&order](QMessageBox::Icon, const QString &, const QString &) {
        KxMessageBox::setAnswerer(KxMessageBox::Answerer());
        order += QLatin1Char('x');
        return QMessageBox::Yes;
    });
    QCOMPARE(KxMessageBox::question(nullptr, QStringLiteral("Q"), QString()), QMessageBox::Yes);
    QCOMPARE(order, QStringLiteral("iox"));
    QVERIFY(!KxMessageBox::hasAnswerer());
}

void TestKxMessageBox::wideEnoughForTitle()
{
    // A short text under a long title: Qt sizes the box by the text alone.
    const QString title = QStringLiteral("Required Minimum Firmware Versions of all Readers");
    QMessageBox box(QMessageBox::Information, title, QStringLiteral("V1"), QMessageBox::Ok);
    const int titleWidth = box.fontMetrics().horizontalAdvance(title);
    QVERIFY(box.sizeHint().width() < titleWidth);
    KxMessageBox::widenForTitle(&box);
    QVERIFY(box.sizeHint().width() >= titleWidth + 100);
}

KX_TEST_GUI_MAIN(TestKxMessageBox)
#include "tst_kxmessagebox.moc"
