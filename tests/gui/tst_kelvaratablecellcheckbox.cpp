#include "support/testsupport.h"
#include "widgets/kelvaratablecellcheckbox.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTableWidget>

class TestKelvaraTableCellCheckBox : public QObject
{
    Q_OBJECT

private slots:
    void reportsItsCell_data();
    void reportsItsCell();
    void partialStateIsNotChecked();
};

void TestKelvaraTableCellCheckBox::reportsItsCell_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    QTest::newRow("first cell") << 0 << 0;
    QTest::newRow("inner cell") << 3 << 1;
    QTest::newRow("last cell") << 4 << 2;
}

void TestKelvaraTableCellCheckBox::reportsItsCell()
{
    QFETCH(int, row);
    QFETCH(int, column);

    // Several boxes in one table: each must report its own cell, not the
    // table's current one.
    QTableWidget table(5, 3);
    QVector<KelvaraTableCellCheckBox *> boxes;
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 3; ++c) {
            auto *box =
                new KelvaraTableCellCheckBox(r, c, QStringLiteral("Entry %1").arg(r), &table);
            table.setCellWidget(r, c, box);
            boxes.append(box);
        }
    }
    table.resize(400, 300);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    auto *box = qobject_cast<KelvaraTableCellCheckBox *>(table.cellWidget(row, column));
    QVERIFY(box);
    QCOMPARE(box->row(), row);
    QCOMPARE(box->column(), column);
    QCOMPARE(box->text(), QStringLiteral("Entry %1").arg(row));
    QCOMPARE(box->cellText(), box->text());

    QSignalSpy spy(box, &KelvaraTableCellCheckBox::cellStateChanged);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->rect().center());
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, box->rect().center());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0), (QVariantList{row, column, true}));
    QCOMPARE(spy.at(1), (QVariantList{row, column, false}));

    // Setting the state from code reports as well; setting the same state does not.
    box->setChecked(true);
    box->setChecked(true);
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(2), (QVariantList{row, column, true}));
}

void TestKelvaraTableCellCheckBox::partialStateIsNotChecked()
{
    KelvaraTableCellCheckBox box(2, 1, QStringLiteral("Garage"));
    box.setTristate(true);
    QSignalSpy spy(&box, &KelvaraTableCellCheckBox::cellStateChanged);
    box.setCheckState(Qt::PartiallyChecked);
    box.setCheckState(Qt::Checked);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0), (QVariantList{2, 1, false}));
    QCOMPARE(spy.at(1), (QVariantList{2, 1, true}));
}

KX_TEST_GUI_MAIN(TestKelvaraTableCellCheckBox)
#include "tst_kelvaratablecellcheckbox.moc"
