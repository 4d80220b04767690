// The check box in the records table's header beside the boxes of its rows:
// the same box, at the same distance from the left, centred alike.
#include "app/Application.h"
#include "base/AppConstants.h"
#include "widgets/CheckBoxHeader.h"

#include <QStandardItemModel>
#include <QTableView>
#include <QtTest>

namespace {

// The smallest rectangle holding every pixel that differs between two
// pictures of the same widget: where the box's tick appears.
QRect changedArea(const QImage& before, const QImage& after)
{
    QRect area;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y))
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

} // namespace

class CheckBoxHeaderTest : public QObject
{
    Q_OBJECT

private slots:
    void headerBoxMatchesTheRowBoxes_data();
    void headerBoxMatchesTheRowBoxes();
};

void CheckBoxHeaderTest::headerBoxMatchesTheRowBoxes_data()
{
    QTest::addColumn<bool>("styled"); // under the program's style sheet
    QTest::addColumn<int>("rowHeight");

    QTest::newRow("program's rows") << true << 40;
    QTest::newRow("toolkit's look") << false << 40;
    QTest::newRow("low rows") << true << 24;
}

void CheckBoxHeaderTest::headerBoxMatchesTheRowBoxes()
{
    QFETCH(bool, styled);
    QFETCH(int, rowHeight);

    initResources();
    QStandardItemModel model(2, 3);
    for (int row = 0; row < 2; ++row) {
        auto* item = new QStandardItem;
        item->setCheckable(true);
        item->setCheckState(Qt::Unchecked);
        model.setItem(row, 0, item);
    }
    QTableView table;
    if (styled)
        table.setStyleSheet(readStyleSheet(QString(AppConstants::styleSheetResource)));
    auto* header = new CheckBoxHeader(Qt::Horizontal, &table);
    table.setHorizontalHeader(header);
    table.setModel(&model);
    table.verticalHeader()->hide();
    table.verticalHeader()->setDefaultSectionSize(rowHeight);
    header->setSectionResizeMode(0, QHeaderView::Fixed);
    header->resizeSection(0, 30);
    table.resize(300, 200);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    const QImage headerOff = header->grab().toImage();
    header->setChecked(true);
    const QRect headerTick = changedArea(headerOff, header->grab().toImage());
    const QImage rowOff = table.viewport()->grab().toImage();
    model.item(0, 0)->setCheckState(Qt::Checked);
    const QRect rowTick = changedArea(rowOff, table.viewport()->grab().toImage());
    QVERIFY(!headerTick.isEmpty() && !rowTick.isEmpty());

    const QRect cell = table.visualRect(model.index(0, 0));
    const QString seen = QStringLiteral("header %1,%2 %3x%4 of height %5; row %6,%7 %8x%9 of height %10")
                             .arg(headerTick.x())
                             .arg(headerTick.y())
                             .arg(headerTick.width())
                             .arg(headerTick.height())
                             .arg(header->height())
                             .arg(rowTick.x() - cell.x())
                             .arg(rowTick.y() - cell.y())
                             .arg(rowTick.width())
                             .arg(rowTick.height())
                             .arg(cell.height());
    QVERIFY2(headerTick.size() == rowTick.size(), qPrintable(seen));
    QVERIFY2(headerTick.x() - header->sectionViewportPosition(0) == rowTick.x() - cell.x(), qPrintable(seen));
    // Centred in its own height, give or take the odd pixel of a halving.
    const int headerOffCentre = headerTick.center().y() - header->height() / 2;
    const int rowOffCentre = rowTick.center().y() - cell.center().y();
    QVERIFY2(qAbs(headerOffCentre - rowOffCentre) <= 1, qPrintable(seen));
}

QTEST_MAIN(CheckBoxHeaderTest)
#include "tst_checkboxheader.moc"
