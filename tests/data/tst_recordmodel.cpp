// The card's record model: consistent through every change, its check marks
// and what it tells the card of them, its running numbers and look-ups.
#include "app/Application.h"
#include "data/RecordModel.h"

#include <QAbstractItemModelTester>
#include <QJsonObject>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using ModelAction = std::function<void(RecordModel&)>;
Q_DECLARE_METATYPE(ModelAction)

namespace {

Record record(const QString& id, bool editable = true)
{
    return Record(QJsonObject{{"id", id}, {"recordedAt", "2021-03-04T05:06:07"}, {"editable", editable}});
}

// The view's check box passes any value: the mark toggles.
ModelAction setCheck(int row, int column, Qt::CheckState value)
{
    return [=](RecordModel& m) { m.setData(m.index(row, column), value, Qt::CheckStateRole); };
}

} // namespace

class RecordModelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void marksAndUpdates_data();
    void marksAndUpdates();
    void numbersCountDownAndFollowRemovals();
    void lookups();
};

void RecordModelTest::marksAndUpdates_data()
{
    QTest::addColumn<ModelAction>("action");
    QTest::addColumn<int>("updates");
    QTest::addColumn<QStringList>("checked"); // of a, b, c with b checked

    QTest::newRow("append") << ModelAction([](RecordModel& m) { m.append(record("x")); }) << 0 << QStringList{"b"};
    QTest::newRow("append none") << ModelAction([](RecordModel& m) { m.append(QList<Record>{}); }) << 0
                                 << QStringList{"b"};
    QTest::newRow("prepend") << ModelAction([](RecordModel& m) { m.prepend(record("x")); }) << 0 << QStringList{"b"};
    QTest::newRow("update") << ModelAction([](RecordModel& m) { m.updateAt(m.index(0, 0), record("z")); }) << 0
                            << QStringList{"b"};
    QTest::newRow("clear") << ModelAction([](RecordModel& m) { m.clear(); }) << 1 << QStringList{};
    QTest::newRow("remove") << ModelAction([](RecordModel& m) { m.removeAt(1); }) << 1 << QStringList{};
    QTest::newRow("remove outside") << ModelAction([](RecordModel& m) { m.removeAt(3); }) << 0 << QStringList{"b"};
    QTest::newRow("check all") << ModelAction([](RecordModel& m) { m.setAllChecked(true); }) << 1
                               << QStringList{"a", "b", "c"};
    QTest::newRow("uncheck all") << ModelAction([](RecordModel& m) { m.setAllChecked(false); }) << 1 << QStringList{};
    QTest::newRow("check") << setCheck(2, RecordModel::CheckColumn, Qt::Unchecked) << 1 << QStringList{"b", "c"};
    QTest::newRow("uncheck") << setCheck(1, RecordModel::CheckColumn, Qt::Checked) << 1 << QStringList{};
    QTest::newRow("other columns") << setCheck(2, RecordModel::DoctorColumn, Qt::Checked) << 0 << QStringList{"b"};
}

void RecordModelTest::marksAndUpdates()
{
    QFETCH(ModelAction, action);
    QFETCH(int, updates);
    QFETCH(QStringList, checked);

    RecordModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.append(QList<Record>{record("a"), record("b"), record("c")});
    model.setData(model.index(1, RecordModel::CheckColumn), Qt::Checked, Qt::CheckStateRole);
    QSignalSpy onUpdate(&model, &RecordModel::onUpdate);
    action(model);
    QCOMPARE(onUpdate.count(), updates);
    QStringList ids; // in row order
    for (const Record& each : model.checkedRecords())
        ids << each.id();
    QCOMPARE(ids, checked);
}

void RecordModelTest::numbersCountDownAndFollowRemovals()
{
    RecordModel model;
    model.append(QList<Record>{record("b"), record("a", false)});
    model.prepend(record("c"));
    const auto number = [&model](int row) { return model.index(row, RecordModel::NumberColumn).data().toString(); };
    QCOMPARE((QStringList{number(0), number(1), number(2)}), (QStringList{"3", "2", "1"}));
    // Only a record that may no longer be edited carries the notes picture.
    QVERIFY(!qvariant_cast<QPixmap>(model.index(2, RecordModel::NotesColumn).data()).isNull());
    QVERIFY(!model.index(1, RecordModel::NotesColumn).data().isValid());

    // The row above a removed one is renumbered, and the view hears of it.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.removeAt(1);
    QCOMPARE((QStringList{number(0), number(1)}), (QStringList{"2", "1"}));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), model.index(0, RecordModel::NumberColumn));
}

void RecordModelTest::lookups()
{
    RecordModel model;
    model.append(QList<Record>{record(QString()), record("a"), record("a")});
    QCOMPARE(model.indexOf(record("a")), 1);
    // A record the service has not numbered is never found by its empty id.
    QCOMPARE(model.indexOf(Record()), -1);
    // An index kept from before a removal may point past the last row.
    const QModelIndex last = model.index(2, 0);
    model.removeAt(2);
    QCOMPARE(model.recordAt(last).id(), QString());
}

QTEST_MAIN(RecordModelTest)
#include "tst_recordmodel.moc"
