// The recovery history: its model's signals, the level editor, and the screen
// against a scripted service (load, save, leaving and refreshing with
// changes, new symptoms and the names they may take).
#include "app/Application.h"
#include "base/Language.h"
#include "data/ServiceAnswer.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/ModalDialogDriver.h"
#include "support/ServiceTestEnvironment.h"
#include "support/SymptomLevels.h"
#include "views/SymptomModel.h"
#include "views/ViewRecoveryHistory.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTranslator>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

// Headache is 2 on the first date; Tremor has no intensities.
const QByteArray questionnaire = R"({"dates":{"d2":"2021-03-06T09:00:00","d1":"2021-03-05T14:07:00"},
    "rows":[{"id":1,"symptom":"Headache","intensities":{"d1":2}},{"id":2,"symptom":"Tremor","intensities":{}}]})";
const QString loadPath = QStringLiteral("/patient/questionnaire");
const QString savePath = QStringLiteral("/patient/questionnaire/p1");

QJsonObject object(const QByteArray& json)
{
    return QJsonDocument::fromJson(json).object();
}

QTableView* table(ViewRecoveryHistory& view)
{
    return view.findChild<QTableView*>(QStringLiteral("tableView"));
}

void chooseLevel(ViewRecoveryHistory& view, int row, int column, int level)
{
    QVERIFY(chooseLevel(table(view), table(view)->model()->index(row, column), level));
}

} // namespace

class ViewRecoveryHistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstAddedAndLastRemovedSymptomsAreResets();
    void anEditRepaintsItsComputedRows();
    void levelsShowTheirNames_data();
    void levelsShowTheirNames();
    void movingThroughCellsChangesNothing();
    void theWheelScrollsAndChangesNoLevel();
    void leavingWithChangesAsks_data();
    void leavingWithChangesAsks();
    void refreshWithChangesAsks_data();
    void refreshWithChangesAsks();
    void newSymptomNames_data();
    void newSymptomNames();
    void withoutDatesNoSymptomCanBeAdded();
    void unreadableAnswerKeepsTheTable();

private:
    std::unique_ptr<ViewRecoveryHistory> openScreen();

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    QTranslator m_translator;
};

void ViewRecoveryHistoryTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
}

void ViewRecoveryHistoryTest::init()
{
    m_service = std::make_unique<FakePatientService>();
    m_service->answer("POST", loadPath, ScriptedResponse::json(200, questionnaire));
    m_service->answer("PUT", savePath, ScriptedResponse::json(200, "{}"));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
}

void ViewRecoveryHistoryTest::cleanup()
{
    m_environment.reset();
    m_service.reset();
}

std::unique_ptr<ViewRecoveryHistory> ViewRecoveryHistoryTest::openScreen()
{
    const Patient patient(QJsonObject{{"id", "p1"}, {"name", "Anna"}});
    auto view = std::make_unique<ViewRecoveryHistory>(patient, QList<Record>{Record(QJsonObject{{"id", "d1"}})});
    view->setAttribute(Qt::WA_DeleteOnClose, false);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()) ||
        !QTest::qWaitFor([&view] { return view->model()->columnCount() > 0 || view->model()->rowCount() > 0; }))
        return nullptr;
    return view;
}

void ViewRecoveryHistoryTest::firstAddedAndLastRemovedSymptomsAreResets()
{
    SymptomModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.load(object(R"({"dates":{"d1":"2021-03-05T14:07:00"},"rows":[]})"));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy changes(&model, &SymptomModel::onChange);
    Symptom symptom;
    symptom.custom = true;
    for (const char* name : {"A", "B"}) {
        symptom.name = QLatin1String(name);
        model.addSymptom(symptom);
    }
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.index(3, 1).data(Qt::EditRole).toFloat(), 0.0f);
    model.removeSymptomRow(1); // a computed row: nothing
    model.removeSymptomRow(3);
    model.removeSymptomRow(2);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(resets.count(), 2);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(changes.count(), 4);
}

void ViewRecoveryHistoryTest::anEditRepaintsItsComputedRows()
{
    SymptomModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.load(object(questionnaire));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy changes(&model, &SymptomModel::onChange);
    QVERIFY(!model.setData(model.index(3, 1), 1, Qt::EditRole));
    QVERIFY(model.setData(model.index(3, 1), 1, Qt::DisplayRole));
    QVERIFY(model.setData(model.index(3, 1), 1, Qt::DisplayRole)); // the same level again
    QCOMPARE(changes.count(), 1);
    bool computedRowsRepainted = false;
    for (const QList<QVariant>& signal : changed) {
        const auto topLeft = signal.at(0).value<QModelIndex>();
        const auto bottomRight = signal.at(1).value<QModelIndex>();
        computedRowsRepainted |=
            topLeft.row() == 0 && bottomRight.row() >= 1 && topLeft.column() <= 1 && bottomRight.column() >= 1;
    }
    QVERIFY(computedRowsRepainted);
    QCOMPARE(model.index(0, 1).data().toFloat(), 2.0f);
    QCOMPARE(model.index(1, 1).data().toFloat(), 3.0f);
}

void ViewRecoveryHistoryTest::levelsShowTheirNames_data()
{
    QTest::addColumn<double>("intensity");
    QTest::addColumn<QVariant>("shown");
    QTest::newRow("none") << 0.0 << QVariant("None");
    QTest::newRow("2.6 rounds to expressed") << 2.6 << QVariant("Expressed");
    QTest::newRow("beyond the scale: the number") << 5.0 << QVariant(5.0f);
}

void ViewRecoveryHistoryTest::levelsShowTheirNames()
{
    QFETCH(double, intensity);
    SymptomModel model;
    model.load(object(questionnaire));
    QVERIFY(model.setData(model.index(3, 2), intensity, Qt::DisplayRole));
    QTEST(model.index(3, 2).data(), "shown");
}

void ViewRecoveryHistoryTest::movingThroughCellsChangesNothing()
{
    const auto view = openScreen();
    QVERIFY(view);
    QTableView* cells = table(*view);
    for (int row = 0; row < cells->model()->rowCount(); ++row)
        for (int column = 0; column < cells->model()->columnCount(); ++column)
            cells->setCurrentIndex(cells->model()->index(row, column));
    QVERIFY(!view->isModified());
}

void ViewRecoveryHistoryTest::theWheelScrollsAndChangesNoLevel()
{
    QJsonArray rows;
    for (int id = 1; id <= 30; ++id)
        rows.append(QJsonObject{{"id", id}, {"symptom", QString::number(id)}, {"intensities", QJsonObject{{"d1", 2}}}});
    const QJsonObject many{{"dates", QJsonObject{{"d1", "2021-03-05T14:07:00"}}}, {"rows", rows}};
    m_service->answer("POST", loadPath, ScriptedResponse::json(200, QJsonDocument(many).toJson()));
    const auto view = openScreen();
    QVERIFY(view);
    view->resize(600, 300);
    QTableView* cells = table(*view);
    const QModelIndex cell = cells->model()->index(3, 1);
    cells->setCurrentIndex(cell); // reached with the arrow keys, say
    QApplication::processEvents();
    const QPoint at = cells->visualRect(cell).center();
    // To whatever lies under the pointer there: before, an open level list.
    QWidget* under = cells->viewport()->childAt(at) ? cells->viewport()->childAt(at) : cells->viewport();
    const QPoint local = under->mapFrom(cells->viewport(), at);
    QWheelEvent wheel(local, under->mapToGlobal(local), {}, {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(under, &wheel);
    QCOMPARE(cell.data(Qt::EditRole).toFloat(), 2.0f);
    QVERIFY(!view->isModified() && cells->verticalScrollBar()->value() > 0);
}

void ViewRecoveryHistoryTest::leavingWithChangesAsks_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("saves");

    QTest::newRow("nothing changed: leaves at once") << false << QMessageBox::Yes << 0 << 0;
    QTest::newRow("changed, save: saves, then leaves") << true << QMessageBox::Yes << 1 << 1;
    QTest::newRow("changed, don't save: leaves") << true << QMessageBox::No << 1 << 0;
}

void ViewRecoveryHistoryTest::leavingWithChangesAsks()
{
    QFETCH(bool, changed);
    QFETCH(QMessageBox::StandardButton, answer);
    const auto view = openScreen();
    QVERIFY(view);
    if (changed)
        chooseLevel(*view, 3, 1, 2);
    QSignalSpy back(view.get(), &ViewRecoveryHistory::onBack);
    MessageBoxRecorder boxes(answer);
    view->findChild<QPushButton*>(QStringLiteral("buttonBack"))->click();
    QTRY_COMPARE(back.count(), 1);
    QTEST(int(boxes.boxes.size()), "questions");
    const QList<RecordedRequest> saves = m_service->requests("PUT", savePath);
    QTEST(int(saves.size()), "saves");
    if (!saves.isEmpty()) {
        QCOMPARE(object(saves.first().body).value("d1").toObject().value("2").toDouble(), 2.0);
        QVERIFY(!view->isModified());
    }
}

void ViewRecoveryHistoryTest::refreshWithChangesAsks_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<int>("loads");

    QTest::newRow("keep the changes") << QMessageBox::No << 1;
    QTest::newRow("reload") << QMessageBox::Yes << 2;
}

void ViewRecoveryHistoryTest::refreshWithChangesAsks()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(int, loads);
    const auto view = openScreen();
    QVERIFY(view);
    chooseLevel(*view, 3, 1, 2);
    MessageBoxRecorder boxes(answer);
    view->findChild<QPushButton*>(QStringLiteral("buttonRefresh"))->click();
    QCOMPARE(boxes.boxes.size(), 1);
    QTRY_COMPARE(int(m_service->requests("POST", loadPath).size()), loads);
    QTRY_COMPARE(view->isModified(), loads == 1);
    QCOMPARE(view->model()->index(3, 1).data(Qt::EditRole).isValid(), loads == 1);
}

void ViewRecoveryHistoryTest::newSymptomNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");

    QTest::newRow("a new name") << QStringLiteral(" Dizziness ") << false;
    QTest::newRow("cancelled from the context menu: no change") << QString() << false;
    QTest::newRow("blank") << QStringLiteral("  ") << true;
    QTest::newRow("too long") << QString(101, QLatin1Char('x')) << true;
    QTest::newRow("digits: would overwrite standard symptom 1") << QStringLiteral("1") << true;
    QTest::newRow("an existing symptom") << QStringLiteral("TREMOR") << true;
}

void ViewRecoveryHistoryTest::newSymptomNames()
{
    QFETCH(QString, name);
    QFETCH(bool, refused);
    const auto view = openScreen();
    QVERIFY(view);
    MessageBoxRecorder boxes;
    whenModalAppears([name](QWidget* dialog) {
        auto* input = qobject_cast<QInputDialog*>(dialog);
        QVERIFY(input);
        input->setTextValue(name);
        name.isNull() ? input->reject() : input->accept();
    });
    if (name.isNull())
        view->findChild<QAction*>(QStringLiteral("actionNewSymptom"))->trigger();
    else
        view->findChild<QPushButton*>(QStringLiteral("buttonNewSymptom"))->click();
    const bool added = !refused && !name.isNull();
    QCOMPARE(boxes.boxes.size(), refused ? 1 : 0);
    QCOMPARE(view->model()->rowCount(), added ? 5 : 4);
    QCOMPARE(view->isModified(), added);
    if (!added)
        return;
    QCOMPARE(view->model()->index(4, 0).data().toString(), QStringLiteral("Dizziness"));
    // Only the added symptom offers its removal.
    auto* remove = view->findChild<QAction*>(QStringLiteral("actionRemoveSymptom"));
    for (int row : {1, 3, 4}) {
        QTableView* cells = table(*view);
        view->on_tableView_customContextMenuRequested(cells->visualRect(cells->model()->index(row, 0)).center());
        QCOMPARE(remove->isEnabled(), row == 4);
        view->findChild<QMenu*>()->hide();
    }
}

void ViewRecoveryHistoryTest::withoutDatesNoSymptomCanBeAdded()
{
    m_service->answer("POST", loadPath, ScriptedResponse::json(200, R"({"dates":{},"rows":[{"id":1,"symptom":"A"}]})"));
    const auto view = openScreen();
    QVERIFY(view);
    QVERIFY(!view->findChild<QPushButton*>(QStringLiteral("buttonNewSymptom"))->isEnabled());
    QVERIFY(!view->findChild<QAction*>(QStringLiteral("actionNewSymptom"))->isEnabled());
}

// A history that can't be read is no empty history: the refreshed table stays.
void ViewRecoveryHistoryTest::unreadableAnswerKeepsTheTable()
{
    const auto view = openScreen();
    QVERIFY(view);
    m_service->answer("POST", loadPath, ScriptedResponse::json(200, R"({"dates":{},"rows":{"id":1}})"));
    MessageBoxRecorder boxes;
    view->findChild<QPushButton*>(QStringLiteral("buttonRefresh"))->click();
    QTRY_COMPARE(boxes.texts(), QStringList{"Error: " + ServiceAnswer::unreadableText()});
    QVERIFY(view->model()->rowCount() == 4 && view->model()->columnCount() == 3);
}

QTEST_MAIN(ViewRecoveryHistoryTest)
#include "tst_viewrecoveryhistory.moc"
