// The recipe screen against a scripted service: the load chain and its
// retry, ticks and the recipe order, analyses shown for the storage asked
// for, leaving with and without saving, and the marker description popup.
#include "app/Application.h"
#include "base/Language.h"
#include "data/ReceiptModel.h"
#include "data/ServiceAnswer.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/RecipeFixtures.h"
#include "support/ServiceTestEnvironment.h"
#include "views/ReceiptDescriptionPopup.h"
#include "views/ViewReceipt.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTranslator>
#include <QtTest>

#include <memory>

using namespace RecipeFixtures;

namespace {

const QString recipePath = QStringLiteral("/recipe/p1/r1");
const QString categoriesPath = QStringLiteral("/category/corrective/p1");
const QString analysisPath = QStringLiteral("/analysis");

// Two storages: the first shows match percentages, the second frequencies.
QByteArray categories()
{
    const QJsonArray storages{QJsonObject{{"id", "s-percent"}, {"title", "Percent"}, {"frequencies", false}},
                              QJsonObject{{"id", "s-freq"}, {"title", "Frequencies"}, {"frequencies", true}}};
    return compact(QJsonArray{QJsonObject{{"title", "Corrective"}, {"storages", storages}}});
}

QByteArray analysis(const QStringList& ids)
{
    QJsonArray rows;
    for (int i = 0; i < ids.size(); ++i)
        rows.append(markerJson(ids.at(i), 30 + i * 20));
    return compact(QJsonObject{{"rows", rows}});
}

} // namespace

class ViewReceiptTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void failedLoadCanBeRetried_data();
    void failedLoadCanBeRetried();
    void answersOfAnyShape_data();
    void answersOfAnyShape();
    void savedRecipeShownAtOnce();
    void ticksMakeTheRecipeOrder();
    void markersSavedByTheImpactAreHeld();
    void replyIsShownForTheStorageAskedFor();
    void leaving_data();
    void leaving();
    void removalsAndPatientNewsFromTheImpactScreen();
    void descriptionPopupFollowsThePointerAndGoesWithTheScreen();
    void shapedPopupHasNoDarkBackground();

private:
    std::unique_ptr<ViewReceipt> openScreen(bool waitForCategories = true);
    void analyse(ViewReceipt& view, int storage);
    void tick(ViewReceipt& view, const QString& id);

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    QTranslator m_translator;
    Patient m_patient;
    Record m_record;
};

void ViewReceiptTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
    QJsonObject patient = FakePatientService::patient("p1", "Anna Berg");
    patient.insert("hasDevices", true);
    patient.insert("isEnabled", true);
    m_patient = Patient(patient);
    m_record = Record(QJsonObject{{"id", "r1"}, {"patientId", "p1"}, {"recordedAt", "2021-03-04T05:06:07"}});
}

void ViewReceiptTest::init()
{
    m_service = std::make_unique<FakePatientService>();
    m_service->answer("GET", recipePath, ScriptedResponse::json(200, compact(QJsonArray{markerJson("c", 10)})));
    m_service->answer("GET", categoriesPath, ScriptedResponse::json(200, categories()));
    m_service->answer("POST", analysisPath, ScriptedResponse::json(200, analysis({"a", "b", "c"})));
    m_service->answer("PUT", QStringLiteral("/recipe"), ScriptedResponse::json(200, "{}"));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
}

void ViewReceiptTest::cleanup()
{
    m_tester.reset();
    m_environment.reset();
    m_service.reset();
}

std::unique_ptr<ViewReceipt> ViewReceiptTest::openScreen(bool waitForCategories)
{
    auto view = std::make_unique<ViewReceipt>(nullptr, m_patient, m_record);
    m_tester = std::make_unique<QAbstractItemModelTester>(view->model(),
                                                          QAbstractItemModelTester::FailureReportingMode::QtTest);
    view->resize(1100, 700);
    view->show();
    const auto loaded = [&] { return child<QComboBox>(*view, "comboBoxStorages")->count() == 2 && overlayGone(*view); };
    if (!QTest::qWaitForWindowExposed(view.get()) || (waitForCategories && !QTest::qWaitFor(loaded)))
        return nullptr;
    return view;
}

void ViewReceiptTest::analyse(ViewReceipt& view, int storage)
{
    child<QComboBox>(view, "comboBoxStorages")->setCurrentIndex(storage);
    const int before = m_service->requests("POST", analysisPath).size();
    child<QPushButton>(view, "buttonAnalyse")->click();
    QTRY_COMPARE(m_service->requests("POST", analysisPath).size(), before + 1);
    QTRY_VERIFY(overlayGone(view));
}

void ViewReceiptTest::tick(ViewReceipt& view, const QString& id)
{
    for (int row = 0; row < view.model()->rowCount(); ++row) {
        if (view.model()->markerAt(row).id() == id)
            QVERIFY(view.model()->setData(view.model()->index(row, 0), Qt::Checked, Qt::CheckStateRole));
    }
}

void ViewReceiptTest::failedLoadCanBeRetried_data()
{
    QTest::addColumn<QString>("failingPath");
    QTest::addColumn<QByteArray>("working");
    QTest::newRow("the recipe") << recipePath << compact(QJsonArray{markerJson("c", 10)});
    QTest::newRow("the categories") << categoriesPath << categories();
}

void ViewReceiptTest::failedLoadCanBeRetried()
{
    QFETCH(QString, failingPath);
    QFETCH(QByteArray, working);
    const bool recipeFails = failingPath == recipePath;
    m_service->answer("GET", failingPath, ScriptedResponse::json(503, R"({"message":"Try later"})"));
    MessageBoxRecorder boxes;
    const auto view = openScreen(false);
    QVERIFY(view);
    QTRY_COMPARE(boxes.texts(), QStringList{"Error: Try later"});
    QTRY_VERIFY(overlayGone(*view));
    // A failed recipe stops the chain: nothing may be saved over the recipe unseen.
    QCOMPARE(m_service->server().requests().size(), recipeFails ? 1 : 2);

    // The load button asks again from the step that failed.
    m_service->answer("GET", failingPath, ScriptedResponse::json(200, working));
    child<QPushButton>(*view, "buttonAnalyse")->click();
    QTRY_COMPARE(child<QComboBox>(*view, "comboBoxStorages")->count(), 2);
    QCOMPARE(m_service->requests("GET", recipePath).size(), recipeFails ? 2 : 1);
    QCOMPARE(m_service->requests("GET", categoriesPath).size(), recipeFails ? 1 : 2);
    QCOMPARE(idsOf(view->recipe().markers()), QStringList{"c"});
    QCOMPARE(m_service->requests("POST", analysisPath).size(), 0);
}

void ViewReceiptTest::answersOfAnyShape_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("rows"); // of a readable analysis; -1: unreadable

    QJsonArray many;
    for (int i = 0; i < 20000; ++i)
        many.append(markerJson(QString::number(i), i % 101));
    for (const QString& path : {recipePath, categoriesPath, analysisPath})
        for (const char* body : {"", "null", R"({"rows":[{"id":"a","title")"})
            QTest::newRow(qPrintable(path + ' ' + body)) << path << QByteArray(body) << -1;
    QTest::newRow("recipe, an object") << recipePath << QByteArray(R"({"markers":[]})") << -1;
    QTest::newRow("categories, an object") << categoriesPath << QByteArray("{}") << -1;
    QTest::newRow("analysis, an array") << analysisPath << QByteArray("[]") << -1;
    QTest::newRow("analysis, rows of text") << analysisPath << QByteArray(R"({"rows":"a,b"})") << -1;
    QTest::newRow("analysis, no rows") << analysisPath << QByteArray(R"({"rows":[]})") << 0;
    QTest::newRow("analysis, nothing") << analysisPath << QByteArray("{}") << 0;
    QTest::newRow("analysis, 20000 rows") << analysisPath << compact(QJsonObject{{"rows", many}}) << 20000;
}

// A readable answer is shown, an empty analysis as an empty table (it ended
// the program once); one that can't be read is said to be so and replaces
// nothing: an unreadable recipe or catalogue is asked for again, never taken
// as empty.
void ViewReceiptTest::answersOfAnyShape()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, body);
    QFETCH(int, rows);
    const bool analysing = path == analysisPath;
    if (analysing)
        m_service->answer("GET", recipePath, ScriptedResponse::json(200, "[]"));
    m_service->answer(analysing ? "POST" : "GET", path, ScriptedResponse::json(200, body));
    MessageBoxRecorder boxes;
    const auto view = openScreen(analysing);
    QVERIFY(view);
    if (analysing)
        analyse(*view, 0);
    QTRY_VERIFY(overlayGone(*view) && m_service->server().requests().size() >= (path == recipePath ? 1 : 2));
    const QStringList unreadable{"Error: " + ServiceAnswer::unreadableText()};
    QCOMPARE(boxes.texts(), rows < 0 ? unreadable : QStringList());
    QCOMPARE(view->model()->rowCount(), path == categoriesPath ? 1 : qMax(rows, 0)); // the saved recipe, still
    QCOMPARE(child<QTableView>(*view, "tableView")->horizontalHeader()->count(), view->model()->columnCount());
    QVERIFY(!view->grab().isNull());
    QCOMPARE(child<QComboBox>(*view, "comboBoxStorages")->count(), analysing ? 2 : 0);
    QVERIFY(child<QPushButton>(*view, "buttonAnalyse")->isEnabled());
}

void ViewReceiptTest::savedRecipeShownAtOnce()
{
    m_service->answer("GET", recipePath,
                      ScriptedResponse::json(200, compact(QJsonArray{markerJson("c", 10), markerJson("a", 70, 3)})));
    const auto view = openScreen();
    QVERIFY(view);
    auto* table = child<QTableView>(*view, "tableView");
    auto* caption = child<QLabel>(*view, "labelTableContents");
    // Before any analysis: the recipe's markers, ticked, with both kinds of value.
    QCOMPARE(m_service->requests("POST", analysisPath).size(), 0);
    QCOMPARE(view->model()->markerAt(1).id(), "a");
    QCOMPARE(view->model()->index(1, 0).data(Qt::CheckStateRole), QVariant(Qt::Checked));
    QVERIFY(!table->isColumnHidden(ReceiptModel::PercentColumn) &&
            !table->isColumnHidden(ReceiptModel::FrequenciesColumn));
    QVERIFY(caption->isVisible());
    analyse(*view, 0);
    QVERIFY(view->model()->rowCount() == 3 && !caption->isVisible());
}

void ViewReceiptTest::ticksMakeTheRecipeOrder()
{
    const auto view = openScreen();
    QVERIFY(view);
    analyse(*view, 0);
    for (const char* id : {"a", "c", "b", "c"}) // c, from the recipe, out and in again: last
        tick(*view, id);

    // Another storage's analysis keeps the recipe and shows its ticks.
    m_service->answer("POST", analysisPath, ScriptedResponse::json(200, analysis({"b", "x"})));
    analyse(*view, 1);
    QCOMPARE(view->model()->index(0, 0).data(Qt::CheckStateRole), QVariant(Qt::Checked));
    QCOMPARE(view->model()->index(1, 0).data(Qt::CheckStateRole), QVariant(Qt::Unchecked));

    QStringList handedOn;
    connect(view.get(), &ViewReceipt::onReceipt, this,
            [&](Patient& p, Record& r, QList<Marker>& markers, bool changed) {
                handedOn << p.id() + r.id() + ' ' + idsOf(markers).join(',') + (changed ? " changed" : "");
            });
    child<QPushButton>(*view, "buttonReceipt")->click();
    tick(*view, "b");
    view->markerRemove("a");
    view->markerRemove("c");
    QVERIFY(!child<QPushButton>(*view, "buttonReceipt")->isEnabled());
    view->receipt(); // nothing to hand on
    QCOMPARE(handedOn, QStringList{"p1r1 a,b,c changed"});
}

// The impact screen above saved its order: leaving asks nothing and sends
// no older order back.
void ViewReceiptTest::markersSavedByTheImpactAreHeld()
{
    const auto view = openScreen();
    QVERIFY(view);
    analyse(*view, 0);
    tick(*view, "a");
    tick(*view, "b");
    view->markersSaved({Marker(markerJson("b")), Marker(markerJson("c"))});
    QCOMPARE(idsOf(view->recipe().markers()), (QStringList{"b", "c"}));
    QVERIFY(!view->isChanged());
    QCOMPARE(view->model()->index(0, 0).data(Qt::CheckStateRole), QVariant(Qt::Unchecked)); // a
    MessageBoxRecorder boxes;
    QSignalSpy back(view.get(), &ViewReceipt::onBack);
    child<QPushButton>(*view, "buttonBack")->click();
    QVERIFY(back.count() == 1 && boxes.boxes.isEmpty() && m_service->requests("PUT", "/recipe").isEmpty());
}

void ViewReceiptTest::replyIsShownForTheStorageAskedFor()
{
    const auto view = openScreen();
    QVERIFY(view);
    ScriptedResponse slow = ScriptedResponse::json(200, analysis({"a", "b"}));
    slow.delayBeforeHeadersMs = 400;
    m_service->answer("POST", analysisPath, slow);
    auto* storages = child<QComboBox>(*view, "comboBoxStorages");
    storages->setCurrentIndex(0); // percentages
    child<QPushButton>(*view, "buttonAnalyse")->click();
    // The overlay doesn't stop the keyboard: another storage is chosen meanwhile.
    storages->setCurrentIndex(1);
    QTRY_COMPARE(view->model()->rowCount(), 2);
    auto* table = child<QTableView>(*view, "tableView");
    QVERIFY(!table->isColumnHidden(ReceiptModel::PercentColumn));
    QVERIFY(table->isColumnHidden(ReceiptModel::FrequenciesColumn));
    const QJsonObject body = QJsonDocument::fromJson(m_service->requests("POST", analysisPath).last().body).object();
    QCOMPARE(body, (QJsonObject{{"patientId", "p1"}, {"storageId", "s-percent"}, {"records", QJsonArray{"r1"}}}));
    analyse(*view, 1);
    QVERIFY(table->isColumnHidden(ReceiptModel::PercentColumn));
    QVERIFY(!table->isColumnHidden(ReceiptModel::FrequenciesColumn));
}

void ViewReceiptTest::leaving_data()
{
    QTest::addColumn<QByteArray>("way"); // a bread crumb, or the main window closing
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("saveStatus");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<bool>("left");
    QTest::addColumn<int>("saves");

    for (const QByteArray& way : {QByteArray("buttonBack"), QByteArray("buttonListPatients"), QByteArray("close")}) {
        QTest::newRow(way + ", nothing changed") << way << false << int(QMessageBox::Yes) << 200 << 0 << true << 0;
        QTest::newRow(way + ", not saved") << way << true << int(QMessageBox::No) << 200 << 1 << true << 0;
        QTest::newRow(way + ", saved") << way << true << int(QMessageBox::Yes) << 200 << 1 << true << 1;
        QTest::newRow(way + ", save fails: stays") << way << true << int(QMessageBox::Yes) << 500 << 2 << false << 1;
    }
}

void ViewReceiptTest::leaving()
{
    QFETCH(QByteArray, way);
    QFETCH(bool, tick);
    QFETCH(int, answer);
    QFETCH(int, saveStatus);
    QFETCH(int, boxes);
    QFETCH(bool, left);
    QFETCH(int, saves);
    m_service->answer("PUT", "/recipe", ScriptedResponse::json(saveStatus, R"({"message":"Not saved"})"));
    const auto view = openScreen();
    QVERIFY(view);
    if (tick) {
        analyse(*view, 0);
        this->tick(*view, "a");
    }
    MessageBoxRecorder recorder{QMessageBox::StandardButton(answer)};
    QSignalSpy back(view.get(), &ViewReceipt::onBack);
    QSignalSpy list(view.get(), &ViewReceipt::onPatientsList);
    QSignalSpy ready(view.get(), &ViewReceipt::onReadyToLeave);
    if (way == "close") {
        const bool now = view->confirmLeave();
        QCOMPARE(now, !saves);
        if (now)
            ready.append(QList<QVariant>());
    } else {
        child<QPushButton>(*view, way.constData())->click();
    }
    QTRY_COMPARE(recorder.boxes.size(), boxes);
    QTRY_VERIFY(overlayGone(*view));
    QCOMPARE(back.count() + list.count() + ready.count(), left ? 1 : 0);
    QCOMPARE(list.count(), way == "buttonListPatients" && left ? 1 : 0);
    const QList<RecordedRequest> requests = m_service->requests("PUT", "/recipe");
    QCOMPARE(requests.size(), saves);
    if (saves) {
        QCOMPARE(QJsonDocument::fromJson(requests.first().body).object().value("markers"), QJsonArray({"c", "a"}));
        QCOMPARE(view->isChanged(), !left);
    }
}

void ViewReceiptTest::removalsAndPatientNewsFromTheImpactScreen()
{
    const auto view = openScreen();
    QVERIFY(view);
    // Even a marker the screen doesn't know counts as a change to ask about.
    view->markerRemove("unknown");
    QVERIFY(view->isChanged());

    auto* device = child<QLabel>(*view, "labelConnectedDevice");
    Patient sent = m_patient;
    sent.startRecipeCommand();
    QVERIFY(sent.deviceIcon().toImage() != device->pixmap().toImage());
    view->updatePatient(Patient(FakePatientService::patient("p2", "Other")));
    view->updatePatient(sent);
    QCOMPARE(device->pixmap().toImage(), sent.deviceIcon().toImage());
}

void ViewReceiptTest::descriptionPopupFollowsThePointerAndGoesWithTheScreen()
{
    auto view = openScreen();
    QVERIFY(view);
    analyse(*view, 0);
    auto* table = child<QTableView>(*view, "tableView");
    // Sorted by match, highest first: the rows no longer follow the model's.
    table->sortByColumn(ReceiptModel::PercentColumn, Qt::DescendingOrder);
    QPointer<ReceiptDescriptionPopup> popup = view->findChild<ReceiptDescriptionPopup*>();
    QVERIFY(popup && popup->isWindow());

    const QRect cell = table->visualRect(table->model()->index(0, ReceiptModel::NotesColumn));
    QTest::mouseMove(view->windowHandle(), table->viewport()->mapTo(view.get(), cell.center()));
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(popup->findChild<QLabel*>("titleLabel")->text(), "Marker c");

    // The pointer inside the popup keeps it; elsewhere it goes within half a second.
    QCursor::setPos(popup->geometry().center());
    QTest::qWait(ReceiptDescriptionPopup::hideIntervalMs * 2);
    QVERIFY(popup->isVisible());
    QCursor::setPos(popup->geometry().bottomRight() + QPoint(200, 200));
    QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), ReceiptDescriptionPopup::hideIntervalMs * 3);
    // A window of its own, yet it goes with the screen.
    view.reset();
    QVERIFY(popup.isNull());
}

void ViewReceiptTest::shapedPopupHasNoDarkBackground()
{
    QWidget screen;
    ReceiptDescriptionPopup popup(&screen, ReceiptDescriptionPopup::Backdrop::Shaped);
    popup.setMarker(0, "Marker", "A description");
    popup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    QVERIFY(!popup.testAttribute(Qt::WA_TranslucentBackground));

    // Without a compositor, what lies outside the bubble is cut away, and
    // what is left is the bubble's own opaque colours.
    const QRegion shown = popup.mask();
    QVERIFY(!shown.contains(QPoint(0, 0)) && shown.contains(QPoint(20, 20)));
    const QImage image = popup.grab().toImage();
    int dark = 0;
    for (const QRect& rect : shown)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 20 ? 1 : 0;
    QCOMPARE(dark, 0);
}

QTEST_MAIN(ViewReceiptTest)
#include "tst_viewreceipt.moc"
