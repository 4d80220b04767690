#include "app/Application.h"
#include "data/PatientModel.h"
#include "views/PatientDelegate.h"

#include <QHeaderView>
#include <QJsonObject>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

namespace {

const QString edit = QStringLiteral(":/images/edit.png");
const QString editHover = QStringLiteral(":/images/edit-hover.png");
const QString trash = QStringLiteral(":/images/trash.png");
const QString trashHover = QStringLiteral(":/images/trash-hover.png");

const int cellWidth = 60;
const int rowHeight = 40;

// What a picture looks like drawn at its own size over a cell's background.
QImage drawnOver(const QColor& background, const QPixmap& picture, const QRect& target, const QSize& area)
{
    QImage image(area, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.drawPixmap(target, picture);
    return image;
}

// Six patients in a table of 60-pixel columns and 40-pixel rows, shown offscreen.
struct Table
{
    Table()
    {
        for (int row = 0; row < 6; ++row) {
            model.append(Patient(QJsonObject{{QStringLiteral("id"), QString::number(row)},
                                             {QStringLiteral("name"), QString::number(row)},
                                             {QStringLiteral("gender"), QStringLiteral("MALE")},
                                             {QStringLiteral("hasDevices"), true},
                                             {QStringLiteral("isEnabled"), true}}));
        }
        view.setModel(&model);
        view.verticalHeader()->hide();
        view.verticalHeader()->setMinimumSectionSize(rowHeight);
        view.verticalHeader()->setDefaultSectionSize(rowHeight);
        view.horizontalHeader()->setMinimumSectionSize(cellWidth);
        view.horizontalHeader()->setDefaultSectionSize(cellWidth);
        view.resize(PatientModel::ColumnCount * cellWidth + 40, 6 * rowHeight + 120);
    }

    bool show()
    {
        view.show();
        return QTest::qWaitForWindowExposed(&view);
    }

    QRect cell(int row, int column) const { return view.visualRect(model.index(row, column)); }
    // The 24-pixel action pictures, centred in their cell.
    QRect picture(int row, int column) const
    {
        return QRect(cell(row, column).center() - QPoint(11, 11), QSize(24, 24));
    }

    // Mouse input goes through the window, as the platform delivers it, so
    // that enter and leave events reach the viewport too.
    QPoint inWindow(const QPoint& viewportPoint) const { return view.viewport()->mapTo(&view, viewportPoint); }
    void moveTo(const QPoint& viewportPoint) { QTest::mouseMove(view.windowHandle(), inWindow(viewportPoint)); }
    void press(const QPoint& viewportPoint)
    {
        QTest::mousePress(view.windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow(viewportPoint));
        QTest::mouseRelease(view.windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow(viewportPoint));
    }

    // What the window really shows: the screen's copy of the window, not a
    // fresh rendering, so a cell the view was never told to repaint stays stale.
    QImage grab(const QRect& rect)
    {
        const QRect inView(inWindow(rect.topLeft()), rect.size());
        return view.windowHandle()
            ->screen()
            ->grabWindow(view.winId(), inView.x(), inView.y(), inView.width(), inView.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // The picture area as painted versus the given picture drawn over the row's background.
    bool shows(int row, int column, const QString& path)
    {
        const QRect area = picture(row, column);
        return grab(area) ==
               drawnOver(PatientModel::rowBackground(row), QPixmap(path), QRect(QPoint(), area.size()), area.size());
    }

    // The view goes first: it must not outlive the delegate it paints with.
    PatientModel model;
    PatientDelegate delegate;
    QTableView view;
};

} // namespace

class PatientDelegateTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hitTest_data();
    void hitTest();
    void hoverFollowsTheMouse();
    void hoverEndsOverCellsOfAnotherDelegate();
    void hoverEndsWithAViewDestroyedUnderTheMouse();
    void pressesThroughTheView_data();
    void pressesThroughTheView();
    void deviceAndGenderPictures();
};

void PatientDelegateTest::initTestCase()
{
    initResources();
    // The pixel checks tell the pictures apart only while they differ.
    QVERIFY(!QImage(edit).isNull() && !QImage(trash).isNull());
    QVERIFY(QImage(edit) != QImage(editHover));
    QVERIFY(QImage(trash) != QImage(trashHover));
    QVERIFY(QImage(edit) != QImage(trash));
}

void PatientDelegateTest::hitTest_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("type");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QString>("signal");
    QTest::addColumn<QPoint>("hover"); // (row, column); (-1, -1) is none, (0, 9) the hover set beforehand

    // The cell spans x 100..160 and y 40..79; the picture area starts at
    // (100 + 160) / 2 - 23 / 2 = 119 and (40 + 79) / 2 - 23 / 2 = 48 and is 24 pixels square.
    const int edit = PatientModel::EditColumn;
    const int remove = PatientModel::RemoveColumn;
    const int press = QEvent::MouseButtonPress;
    const int move = QEvent::MouseMove;
    const QPoint none(-1, -1);
    const QPoint before(0, remove);

    QTest::newRow("edit, top-left pixel") << 2 << edit << press << QPointF(119, 48) << "edit" << QPoint(2, edit);
    QTest::newRow("edit, bottom-right pixel") << 2 << edit << press << QPointF(142, 71) << "edit" << QPoint(2, edit);
    QTest::newRow("edit, left of the picture") << 2 << edit << press << QPointF(118, 60) << "" << none;
    QTest::newRow("edit, right of the picture") << 2 << edit << press << QPointF(143, 60) << "" << none;
    QTest::newRow("edit, above the picture") << 2 << edit << press << QPointF(130, 47) << "" << none;
    QTest::newRow("edit, below the picture") << 2 << edit << press << QPointF(130, 72) << "" << none;
    QTest::newRow("edit, cell corner") << 2 << edit << press << QPointF(100, 40) << "" << none;
    QTest::newRow("rounded onto the picture")
        << 2 << edit << press << QPointF(118.6, 71.4) << "edit" << QPoint(2, edit);
    QTest::newRow("rounded off the picture") << 2 << edit << press << QPointF(118.4, 60) << "" << none;
    QTest::newRow("remove, centre") << 3 << remove << press << QPointF(130, 60) << "remove" << QPoint(3, remove);
    QTest::newRow("remove, outside") << 3 << remove << press << QPointF(143, 71) << "" << none;
    QTest::newRow("name column centre") << 2 << int(PatientModel::NameColumn) << press << QPointF(130, 60) << ""
                                        << QPoint(2, PatientModel::NameColumn);
    QTest::newRow("device column centre") << 2 << int(PatientModel::DeviceColumn) << press << QPointF(130, 60) << ""
                                          << QPoint(2, PatientModel::DeviceColumn);
    QTest::newRow("no cell") << -1 << edit << press << QPointF(130, 60) << "" << none;
    QTest::newRow("move onto edit") << 2 << edit << move << QPointF(130, 60) << "" << QPoint(2, edit);
    QTest::newRow("move off") << 0 << remove << move << QPointF(150, 60) << "" << none;
    QTest::newRow("release on edit") << 2 << edit << int(QEvent::MouseButtonRelease) << QPointF(130, 60) << ""
                                     << before;
    QTest::newRow("release off") << 2 << edit << int(QEvent::MouseButtonRelease) << QPointF(101, 41) << "" << before;
    QTest::newRow("double click on remove")
        << 2 << remove << int(QEvent::MouseButtonDblClick) << QPointF(130, 60) << "" << before;
}

void PatientDelegateTest::hitTest()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(int, type);
    QFETCH(QPointF, position);
    QFETCH(QString, signal);
    QFETCH(QPoint, hover);

    PatientModel model;
    for (int i = 0; i < 5; ++i)
        model.append(Patient());
    PatientDelegate delegate;
    QSignalSpy edits(&delegate, &PatientDelegate::editPress);
    QSignalSpy removes(&delegate, &PatientDelegate::removePress);
    QStyleOptionViewItem option;
    option.rect = QRect(100, 40, 61, 40);

    QMouseEvent moveOntoRemove(QEvent::MouseMove, QPointF(130, 60), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QVERIFY(!delegate.editorEvent(&moveOntoRemove, &model, option, model.index(0, PatientModel::RemoveColumn)));
    QCOMPARE(QPoint(delegate.hoverRow(), delegate.hoverColumn()), QPoint(0, int(PatientModel::RemoveColumn)));

    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(QEvent::Type(type), position, button, button, Qt::NoModifier);
    const QModelIndex index = model.index(row, column);
    QVERIFY(!delegate.editorEvent(&event, &model, option, index));

    QCOMPARE(QPoint(delegate.hoverRow(), delegate.hoverColumn()), hover);
    QCOMPARE(edits.count(), signal == QLatin1String("edit") ? 1 : 0);
    QCOMPARE(removes.count(), signal == QLatin1String("remove") ? 1 : 0);
    for (const QSignalSpy* spy : {&edits, &removes}) {
        if (!spy->isEmpty())
            QCOMPARE(spy->at(0).at(0).toModelIndex(), index);
    }
}

void PatientDelegateTest::hoverFollowsTheMouse()
{
    Table table;
    table.view.setItemDelegate(&table.delegate);
    table.delegate.watch(&table.view);
    QVERIFY(table.show());
    QVERIFY(table.shows(4, PatientModel::EditColumn, edit));

    table.moveTo(table.picture(4, PatientModel::EditColumn).center());
    QCOMPARE(table.delegate.hoverRow(), 4);
    QCOMPARE(table.delegate.hoverColumn(), int(PatientModel::EditColumn));
    QTRY_VERIFY(table.shows(4, PatientModel::EditColumn, editHover));
    QVERIFY(table.shows(3, PatientModel::EditColumn, edit));
    QVERIFY(table.shows(4, PatientModel::RemoveColumn, trash));

    // Off the picture but still in its cell.
    table.moveTo(table.cell(4, PatientModel::EditColumn).topLeft() + QPoint(2, 2));
    QCOMPARE(table.delegate.hoverRow(), -1);
    QCOMPARE(table.delegate.hoverColumn(), -1);
    QTRY_VERIFY(table.shows(4, PatientModel::EditColumn, edit));

    // From one picture straight to the next: the first one is restored.
    table.moveTo(table.picture(1, PatientModel::RemoveColumn).center());
    QTRY_VERIFY(table.shows(1, PatientModel::RemoveColumn, trashHover));
    table.moveTo(table.picture(2, PatientModel::RemoveColumn).topLeft());
    QCOMPARE(table.delegate.hoverRow(), 2);
    QTRY_VERIFY(table.shows(2, PatientModel::RemoveColumn, trashHover));
    QTRY_VERIFY(table.shows(1, PatientModel::RemoveColumn, trash));

    // Below the last row there is no cell to tell the delegate.
    table.moveTo(QPoint(table.picture(5, PatientModel::RemoveColumn).center().x(), 6 * rowHeight + 30));
    QCOMPARE(table.delegate.hoverRow(), -1);
    QTRY_VERIFY(table.shows(2, PatientModel::RemoveColumn, trash));

    // Onto the header: the mouse leaves the cells.
    table.moveTo(table.picture(5, PatientModel::EditColumn).center());
    QTRY_VERIFY(table.shows(5, PatientModel::EditColumn, editHover));
    const QPoint header = table.view.horizontalHeader()->geometry().center();
    QTest::mouseMove(table.view.windowHandle(), header);
    QCOMPARE(table.delegate.hoverRow(), -1);
    QCOMPARE(table.delegate.hoverColumn(), -1);
    QTRY_VERIFY(table.shows(5, PatientModel::EditColumn, edit));
}

void PatientDelegateTest::hoverEndsOverCellsOfAnotherDelegate()
{
    Table table;
    table.view.setItemDelegateForColumn(PatientModel::EditColumn, &table.delegate);
    table.view.setItemDelegateForColumn(PatientModel::RemoveColumn, &table.delegate);
    table.delegate.watch(&table.view);
    QVERIFY(table.show());

    table.moveTo(table.picture(4, PatientModel::EditColumn).center());
    QTRY_VERIFY(table.shows(4, PatientModel::EditColumn, editHover));
    table.moveTo(table.cell(4, PatientModel::NotesColumn).center());
    QCOMPARE(table.delegate.hoverRow(), -1);
    QCOMPARE(table.delegate.hoverColumn(), -1);
    QTRY_VERIFY(table.shows(4, PatientModel::EditColumn, edit));
}

void PatientDelegateTest::hoverEndsWithAViewDestroyedUnderTheMouse()
{
    Table table;
    {
        // A second view of the same model and delegate, closed while the mouse
        // is over its pictures: its viewport's last events come while it is
        // being destroyed.
        QTableView other;
        other.setModel(&table.model);
        other.setItemDelegate(&table.delegate);
        table.delegate.watch(&other);
        other.horizontalHeader()->setMinimumSectionSize(cellWidth);
        other.horizontalHeader()->setDefaultSectionSize(cellWidth);
        other.resize(table.view.size());
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        const QRect picture = other.visualRect(table.model.index(4, PatientModel::EditColumn));
        QTest::mouseMove(other.windowHandle(), other.viewport()->mapTo(&other, picture.center()));
        QCOMPARE(table.delegate.hoverRow(), 4);
    }
    QCOMPARE(QPoint(table.delegate.hoverRow(), table.delegate.hoverColumn()), QPoint(-1, -1));

    // The delegate goes on serving the view it is given next, with no stale hover.
    table.view.setItemDelegate(&table.delegate);
    table.delegate.watch(&table.view);
    QVERIFY(table.show());
    QVERIFY(table.shows(4, PatientModel::EditColumn, edit));
    table.moveTo(table.picture(4, PatientModel::EditColumn).center());
    QTRY_VERIFY(table.shows(4, PatientModel::EditColumn, editHover));
}

void PatientDelegateTest::pressesThroughTheView_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QPoint>("offset"); // from the picture's top-left pixel
    QTest::addColumn<QString>("signal");

    QTest::newRow("edit picture") << int(PatientModel::EditColumn) << QPoint(12, 12) << "edit";
    QTest::newRow("remove picture") << int(PatientModel::RemoveColumn) << QPoint(0, 23) << "remove";
    QTest::newRow("edit cell beside the picture") << int(PatientModel::EditColumn) << QPoint(-3, 12) << "";
    QTest::newRow("remove cell below the picture") << int(PatientModel::RemoveColumn) << QPoint(12, 25) << "";
    QTest::newRow("notes column") << int(PatientModel::NotesColumn) << QPoint(12, 12) << "";
    QTest::newRow("gender column") << int(PatientModel::GenderColumn) << QPoint(12, 12) << "";
}

void PatientDelegateTest::pressesThroughTheView()
{
    QFETCH(int, column);
    QFETCH(QPoint, offset);
    QFETCH(QString, signal);

    Table table;
    table.view.setItemDelegate(&table.delegate);
    table.delegate.watch(&table.view);
    QVERIFY(table.show());
    QSignalSpy edits(&table.delegate, &PatientDelegate::editPress);
    QSignalSpy removes(&table.delegate, &PatientDelegate::removePress);

    table.press(table.picture(4, column).topLeft() + offset);

    QCOMPARE(edits.count(), signal == QLatin1String("edit") ? 1 : 0);
    QCOMPARE(removes.count(), signal == QLatin1String("remove") ? 1 : 0);
    for (const QSignalSpy* spy : {&edits, &removes}) {
        if (!spy->isEmpty())
            QCOMPARE(spy->at(0).at(0).toModelIndex(), table.model.index(4, column));
    }
}

void PatientDelegateTest::deviceAndGenderPictures()
{
    Table table;
    table.view.setItemDelegate(&table.delegate);
    QVERIFY(table.show());

    // A 60 x 40 cell: the 64-pixel device picture is shown 24 pixels square
    // from (18, 8), and the 24-pixel gender picture at its own size from (18, 8).
    const QSize cell(cellWidth - 1, rowHeight - 1); // the grid line takes the last pixel
    const QColor odd = PatientModel::rowBackground(3);
    QCOMPARE(table.cell(3, PatientModel::DeviceColumn).size(), cell);
    QCOMPARE(table.grab(table.cell(3, PatientModel::DeviceColumn)),
             drawnOver(odd, QPixmap(QStringLiteral(":/images/connected-device.png")), QRect(18, 8, 24, 24), cell));
    QCOMPARE(table.grab(table.cell(3, PatientModel::GenderColumn)),
             drawnOver(odd, QPixmap(QStringLiteral(":/images/gender-male.png")), QRect(18, 8, 24, 24), cell));
}

QTEST_MAIN(PatientDelegateTest)
#include "tst_patientdelegate.moc"
