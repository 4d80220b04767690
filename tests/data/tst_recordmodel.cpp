#include "app/Application.h"
#include "data/RecordModel.h"

#include <QAbstractItemModelTester>
#include <QJsonObject>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

using ModelAction = std::function<void(RecordModel&)>;
Q_DECLARE_METATYPE(Record)
Q_DECLARE_METATYPE(ModelAction)

namespace {

Record record(const QString& id, bool editable = true, bool questionnaire = false)
{
    return Record(QJsonObject{{QStringLiteral("id"), id},
                              {QStringLiteral("patientId"), QStringLiteral("p1")},
                              {QStringLiteral("doctorName"), QStringLiteral("Dr ") + id},
                              {QStringLiteral("recordedAt"), QStringLiteral("2021-03-04T05:06:07")},
                              {QStringLiteral("editable"), editable},
                              {QStringLiteral("questionnaire"), questionnaire}});
}

QStringList ids(const QList<Record>& records)
{
    QStringList result;
    for (const Record& each : records)
        result << each.id();
    return result;
}

QString number(const RecordModel& model, int row)
{
    return model.data(model.index(row, RecordModel::NumberColumn), Qt::DisplayRole).toString();
}

} // namespace

class RecordModelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void staysConsistentThroughEveryChange();
    void numbersCountDownFromTheRowCount();
    void onUpdateFollowsMarksAndRemovals_data();
    void onUpdateFollowsMarksAndRemovals();
    void lookups();
};

void RecordModelTest::staysConsistentThroughEveryChange()
{
    RecordModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.append(record(QStringLiteral("a")));
    model.append(QList<Record>{record(QStringLiteral("b")), record(QStringLiteral("c"), false, true)});
    model.prepend(record(QStringLiteral("d")));
    model.updateAt(model.index(1, 0), record(QStringLiteral("a2")));
    model.setData(model.index(2, RecordModel::CheckColumn), Qt::Checked, Qt::CheckStateRole);
    model.setAllChecked(true);
    model.removeAt(1);
    model.removeAt(9);
    model.clear();
    model.append(QList<Record>{});
    QCOMPARE(model.rowCount(), 0);
}

void RecordModelTest::numbersCountDownFromTheRowCount()
{
    RecordModel model;
    model.append(QList<Record>{record("c"), record("b", false, true), record("a")});
    QCOMPARE(number(model, 0), QStringLiteral("3"));
    QCOMPARE(number(model, 2), QStringLiteral("1"));
    // A record that may no longer be edited carries the notes picture.
    const QPixmap notes = qvariant_cast<QPixmap>(model.index(1, RecordModel::NotesColumn).data());
    QCOMPARE(notes.toImage(), QPixmap(QStringLiteral(":/images/notes.png")).toImage());
    QVERIFY(!model.index(0, RecordModel::NotesColumn).data().isValid());
    QCOMPARE(model.index(1, RecordModel::QuestionnaireColumn).data().toString(),
             QCoreApplication::translate("RecordModel", "Text.yes"));

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.prepend(record("d"));
    QCOMPARE(number(model, 0), QStringLiteral("4"));
    QCOMPARE(number(model, 3), QStringLiteral("1"));
    // Removing the second row renumbers the one above it, and the view hears of it.
    model.removeAt(1);
    QCOMPARE(number(model, 0), QStringLiteral("3"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), model.index(0, RecordModel::NumberColumn));
}

void RecordModelTest::onUpdateFollowsMarksAndRemovals_data()
{
    QTest::addColumn<ModelAction>("action");
    QTest::addColumn<int>("updates");
    QTest::addColumn<QStringList>("checked");

    QTest::newRow("append") << ModelAction([](RecordModel& m) { m.append(record("x")); }) << 0 << QStringList{"b"};
    QTest::newRow("prepend") << ModelAction([](RecordModel& m) { m.prepend(record("x")); }) << 0 << QStringList{"b"};
    QTest::newRow("clear") << ModelAction([](RecordModel& m) { m.clear(); }) << 1 << QStringList{};
    QTest::newRow("remove") << ModelAction([](RecordModel& m) { m.removeAt(1); }) << 1 << QStringList{};
    QTest::newRow("remove outside") << ModelAction([](RecordModel& m) { m.removeAt(3); }) << 0 << QStringList{"b"};
    QTest::newRow("check all") << ModelAction([](RecordModel& m) { m.setAllChecked(true); }) << 1
                               << QStringList{"a", "b", "c"};
    QTest::newRow("uncheck all") << ModelAction([](RecordModel& m) { m.setAllChecked(false); }) << 1 << QStringList{};
    // The view's check box may pass any value: the edit toggles.
    QTest::newRow("check edit") << ModelAction([](RecordModel& m) {
        m.setData(m.index(2, RecordModel::CheckColumn), Qt::Unchecked, Qt::CheckStateRole);
    }) << 1 << QStringList{"b", "c"};
    QTest::newRow("uncheck edit") << ModelAction([](RecordModel& m) {
        m.setData(m.index(1, RecordModel::CheckColumn), Qt::Checked, Qt::CheckStateRole);
    }) << 1 << QStringList{};
    QTest::newRow("other columns are not editable") << ModelAction([](RecordModel& m) {
        m.setData(m.index(2, RecordModel::DoctorColumn), Qt::Checked, Qt::CheckStateRole);
    }) << 0 << QStringList{"b"};
}

void RecordModelTest::onUpdateFollowsMarksAndRemovals()
{
    QFETCH(ModelAction, action);
    QFETCH(int, updates);
    QFETCH(QStringList, checked);

    RecordModel model;
    model.append(QList<Record>{record("a"), record("b"), record("c")});
    model.setData(model.index(1, RecordModel::CheckColumn), Qt::Checked, Qt::CheckStateRole);
    QSignalSpy onUpdate(&model, &RecordModel::onUpdate);
    action(model);
    QCOMPARE(onUpdate.count(), updates);
    QCOMPARE(ids(model.checkedRecords()), checked);
}

void RecordModelTest::lookups()
{
    RecordModel model;
    model.append(QList<Record>{record(QString()), record("a"), record("a")});
    QCOMPARE(model.indexOf(record("a")), 1);
    // A record the service has not numbered is never found by its empty id.
    QCOMPARE(model.indexOf(Record()), -1);
    QCOMPARE(model.recordAt(model.index(5, 0)).id(), QString());
}

QTEST_MAIN(RecordModelTest)
#include "tst_recordmodel.moc"
