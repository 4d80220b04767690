// The recipe screen against a scripted service: the load chain and its
// retry, ticks and the recipe order, analyses shown for the storage asked
// for, leaving with and without saving, and the marker description popup.
#include "app/Application.h"
#include "base/Language.h"
#include "data/ReceiptModel.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/ServiceTestEnvironment.h"
#include "views/ReceiptDelegate.h"
#include "views/ReceiptDescriptionPopup.h"
#include "views/ViewReceipt.h"

#include <QBitmap>
#include <QComboBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {

const QString recipePath = QStringLiteral("/recipe/p1/r1");
const QString categoriesPath = QStringLiteral("/category/corrective/p1");
const QString analysisPath = QStringLiteral("/analysis");

QByteArray compact(const QJsonValue& value)
{
    return value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                           : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
}

QJsonObject markerJson(const QString& id, int value)
{
    return {{"id", id},
            {"title", "Marker " + id},
            {"description", "About " + id},
            {"values", QJsonArray{value}},
            {"amount", value / 10}};
}

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
    return compact(QJsonObject{{"columns", QJsonArray{"2021-01-01"}}, {"rows", rows}});
}

QStringList idsOf(const QList<Marker>& markers)
{
    QStringList ids;
    for (const Marker& marker : markers)
        ids << marker.id();
    return ids;
}

template <typename Widget> Widget* child(QWidget& view, const char* name)
{
    return view.findChild<Widget*>(QLatin1String(name));
}

bool overlayGone(QWidget& view)
{
    return !view.findChild<QWidget*>(QStringLiteral("LoadingWindow"));
}

} // namespace

using ScreenAction = std::function<void(ViewReceipt&)>;
Q_DECLARE_METATYPE(ScreenAction)

class ViewReceiptTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void loadsTheRecipeThenTheCategories();
    void failedLoadCanBeRetried_data();
    void failedLoadCanBeRetried();
    void ticksMakeTheRecipeOrder();
    void replyIsShownForTheStorageAskedFor();
    void leaving_data();
    void leaving();
    void confirmLeaveBeforeTheWindowCloses_data();
    void confirmLeaveBeforeTheWindowCloses();
    void markerRemovedOnTheImpactScreen();
    void newDeviceStateOfThePatient();
    void percentBar_data();
    void percentBar();
    void descriptionPopupFollowsThePointer();
    void popupGoesWithTheScreen();
    void shapedPopupHasNoDarkBackground();

private:
    std::unique_ptr<ViewReceipt> openScreen(bool waitForCategories = true);
    void analyse(ViewReceipt& view, int storage);
    void tick(ViewReceipt& view, const QString& id);

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
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
    m_environment.reset();
    m_service.reset();
}

std::unique_ptr<ViewReceipt> ViewReceiptTest::openScreen(bool waitForCategories)
{
    auto view = std::make_unique<ViewReceipt>(nullptr, m_patient, m_record);
    view->resize(1100, 700);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    if (waitForCategories && !QTest::qWaitFor([&] {
            return child<QComboBox>(*view, "comboBoxStorages")->count() == 2 && overlayGone(*view);
        }))
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
    ReceiptModel* model = view.model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->markerAt(row).id() == id) {
            QVERIFY(model->setData(model->index(row, 0), Qt::Checked, Qt::CheckStateRole));
            return;
        }
    }
    QFAIL(qPrintable("no row " + id));
}

void ViewReceiptTest::loadsTheRecipeThenTheCategories()
{
    const auto view = openScreen();
    QVERIFY(view);
    const QList<RecordedRequest> requests = m_service->server().requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).path(), recipePath);
    QCOMPARE(requests.at(1).path(), categoriesPath);
    QCOMPARE(idsOf(view->recipe().markers()), QStringList{"c"});
    QVERIFY(child<QPushButton>(*view, "buttonAnalyse")->isEnabled());
    QVERIFY(child<QPushButton>(*view, "buttonReceipt")->isEnabled());
    QCOMPARE(child<QLabel>(*view, "labelTitle")->text(),
             QStringLiteral("Recipe for Anna Berg, record of 2021-03-04 05:06:07"));
    QVERIFY(!view->isChanged());
}

void ViewReceiptTest::failedLoadCanBeRetried_data()
{
    QTest::addColumn<QString>("failingPath");
    QTest::addColumn<int>("requestsBeforeRetry");
    QTest::newRow("the recipe") << recipePath << 1;
    QTest::newRow("the categories") << categoriesPath << 2;
}

void ViewReceiptTest::failedLoadCanBeRetried()
{
    QFETCH(QString, failingPath);
    QFETCH(int, requestsBeforeRetry);
    const ScriptedResponse working = failingPath == recipePath
                                         ? ScriptedResponse::json(200, compact(QJsonArray{markerJson("c", 10)}))
                                         : ScriptedResponse::json(200, categories());
    m_service->answer("GET", failingPath, ScriptedResponse::json(503, R"({"message":"Try later"})"));
    MessageBoxRecorder boxes;
    const auto view = openScreen(false);
    QVERIFY(view);
    QTRY_COMPARE(boxes.texts(), QStringList{"Error: Try later"});
    QTRY_VERIFY(overlayGone(*view));
    QCOMPARE(m_service->server().requests().size(), requestsBeforeRetry);
    QCOMPARE(child<QComboBox>(*view, "comboBoxCategories")->count(), 0);

    // The load button asks again from the step that failed.
    auto* load = child<QPushButton>(*view, "buttonAnalyse");
    QVERIFY(load->isEnabled());
    m_service->answer("GET", failingPath, working);
    load->click();
    QTRY_COMPARE(child<QComboBox>(*view, "comboBoxStorages")->count(), 2);
    QCOMPARE(m_service->requests("GET", recipePath).size(), failingPath == recipePath ? 2 : 1);
    QCOMPARE(m_service->requests("GET", categoriesPath).size(), failingPath == recipePath ? 1 : 2);
    QCOMPARE(idsOf(view->recipe().markers()), QStringList{"c"});
    QCOMPARE(m_service->requests("POST", analysisPath).size(), 0);
    analyse(*view, 0);
    QCOMPARE(view->model()->rowCount(), 3);
}

void ViewReceiptTest::ticksMakeTheRecipeOrder()
{
    const auto view = openScreen();
    QVERIFY(view);
    analyse(*view, 0);
    QCOMPARE(view->model()->index(2, 0).data(Qt::CheckStateRole), QVariant(Qt::Checked)); // c, from the recipe

    tick(*view, "a");
    tick(*view, "c"); // untick: out of the recipe
    tick(*view, "b");
    tick(*view, "c"); // ticked again: now last
    QCOMPARE(idsOf(view->recipe().markers()), (QStringList{"a", "b", "c"}));
    QVERIFY(view->isChanged());

    // Another storage's analysis keeps the recipe and shows its ticks.
    m_service->answer("POST", analysisPath, ScriptedResponse::json(200, analysis({"b", "x"})));
    analyse(*view, 1);
    QCOMPARE(view->model()->index(0, 0).data(Qt::CheckStateRole), QVariant(Qt::Checked));
    QCOMPARE(view->model()->index(1, 0).data(Qt::CheckStateRole), QVariant(Qt::Unchecked));

    int handedOn = 0;
    QList<Marker> received;
    bool changed = false;
    connect(view.get(), &ViewReceipt::onReceipt, this,
            [&](Patient& patient, Record& record, QList<Marker>& markers, bool flag) {
                ++handedOn;
                received = markers;
                changed = flag && patient.id() == "p1" && record.id() == "r1";
            });
    child<QPushButton>(*view, "buttonReceipt")->click();
    QCOMPARE(idsOf(received), (QStringList{"a", "b", "c"}));
    QVERIFY(changed);

    // Unticking everything leaves nothing to hand on.
    m_service->answer("POST", analysisPath, ScriptedResponse::json(200, analysis({"a", "b", "c"})));
    analyse(*view, 0);
    for (const char* id : {"a", "b", "c"})
        tick(*view, id);
    QVERIFY(view->recipe().isEmpty());
    QVERIFY(!child<QPushButton>(*view, "buttonReceipt")->isEnabled());
    view->receipt();
    QCOMPARE(handedOn, 1);
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
    QCOMPARE(body.value("storageId").toString(), QStringLiteral("s-percent"));
    QCOMPARE(body.value("records").toArray(), QJsonArray{"r1"});

    m_service->answer("POST", analysisPath, ScriptedResponse::json(200, analysis({"a"})));
    analyse(*view, 1);
    QCOMPARE(view->model()->rowCount(), 1);
    QVERIFY(table->isColumnHidden(ReceiptModel::PercentColumn));
    QVERIFY(!table->isColumnHidden(ReceiptModel::FrequenciesColumn));
}

void ViewReceiptTest::leaving_data()
{
    QTest::addColumn<bool>("toList");
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("saveStatus");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("left");
    QTest::addColumn<QStringList>("saved"); // the markers of the one save, if any

    const int yes = QMessageBox::Yes;
    const int no = QMessageBox::No;
    for (const bool toList : {false, true}) {
        const QByteArray way = toList ? "to the list, " : "to the card, ";
        QTest::newRow(way + "nothing changed") << toList << false << yes << 200 << 0 << true << QStringList();
        QTest::newRow(way + "ticked, no save") << toList << true << no << 200 << 1 << true << QStringList();
        QTest::newRow(way + "ticked, saved") << toList << true << yes << 200 << 1 << true << QStringList{"c", "a"};
        QTest::newRow(way + "save fails: stays") << toList << true << yes << 500 << 1 << false << QStringList{"c", "a"};
    }
}

void ViewReceiptTest::leaving()
{
    QFETCH(bool, toList);
    QFETCH(bool, tick);
    QFETCH(int, answer);
    QFETCH(int, saveStatus);
    QFETCH(int, questions);
    QFETCH(bool, left);
    QFETCH(QStringList, saved);
    m_service->answer("PUT", "/recipe", ScriptedResponse::json(saveStatus, R"({"message":"Not saved"})"));
    const auto view = openScreen();
    QVERIFY(view);
    if (tick) {
        analyse(*view, 0);
        this->tick(*view, "a");
    }
    MessageBoxRecorder boxes{QMessageBox::StandardButton(answer)};
    QSignalSpy wentBack(view.get(), &ViewReceipt::onBack);
    QSignalSpy wentToList(view.get(), &ViewReceipt::onPatientsList);

    child<QPushButton>(*view, toList ? "buttonListPatients" : "buttonBack")->click();
    QTRY_VERIFY(overlayGone(*view));
    QTRY_COMPARE(boxes.boxes.size(), questions + (saveStatus == 200 ? 0 : 1));
    if (questions)
        QCOMPARE(boxes.boxes.first().text, QStringLiteral("The recipe has unsaved changes. Save them before leaving?"));
    QCOMPARE((toList ? wentToList : wentBack).count(), left ? 1 : 0);
    QCOMPARE((toList ? wentBack : wentToList).count(), 0);
    const QList<RecordedRequest> saves = m_service->requests("PUT", "/recipe");
    QCOMPARE(saves.size(), saved.isEmpty() ? 0 : 1);
    if (!saves.isEmpty()) {
        const QJsonObject body = QJsonDocument::fromJson(saves.first().body).object();
        QCOMPARE(body.value("markers").toArray().toVariantList(), QVariant(saved).toList());
        QCOMPARE(body.value("duration").toInt(-1), 0);
        QCOMPARE(body.value("command").toString("-"), QString());
        QCOMPARE(view->isChanged(), saveStatus != 200);
    }
}

void ViewReceiptTest::confirmLeaveBeforeTheWindowCloses_data()
{
    QTest::addColumn<bool>("tick");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("mayGoNow");
    QTest::addColumn<int>("saves");
    QTest::newRow("nothing changed") << false << int(QMessageBox::Yes) << true << 0;
    QTest::newRow("changed, not saved") << true << int(QMessageBox::No) << true << 0;
    QTest::newRow("changed, saved first") << true << int(QMessageBox::Yes) << false << 1;
}

void ViewReceiptTest::confirmLeaveBeforeTheWindowCloses()
{
    QFETCH(bool, tick);
    QFETCH(int, answer);
    QFETCH(bool, mayGoNow);
    QFETCH(int, saves);
    const auto view = openScreen();
    QVERIFY(view);
    if (tick) {
        analyse(*view, 0);
        this->tick(*view, "b");
    }
    MessageBoxRecorder boxes{QMessageBox::StandardButton(answer)};
    QSignalSpy ready(view.get(), &ViewReceipt::onReadyToLeave);
    QCOMPARE(view->confirmLeave(), mayGoNow);
    QCOMPARE(boxes.boxes.size(), tick ? 1 : 0);
    if (!mayGoNow) {
        QTRY_COMPARE(ready.count(), 1);
        QVERIFY(!view->isChanged());
        QVERIFY(view->confirmLeave()); // saved: nothing more to ask
    }
    QCOMPARE(m_service->requests("PUT", "/recipe").size(), saves);
}

void ViewReceiptTest::markerRemovedOnTheImpactScreen()
{
    const auto view = openScreen();
    QVERIFY(view);
    analyse(*view, 0);
    tick(*view, "a");
    view->markerRemove("c");
    QCOMPARE(idsOf(view->recipe().markers()), QStringList{"a"});
    QCOMPARE(view->model()->rowCount(), 2);
    view->markerRemove("a");
    QVERIFY(!child<QPushButton>(*view, "buttonReceipt")->isEnabled());

    // Even an unknown marker counts as a change to ask about.
    const auto fresh = openScreen();
    QVERIFY(fresh);
    fresh->markerRemove("unknown");
    QVERIFY(fresh->isChanged());
}

void ViewReceiptTest::newDeviceStateOfThePatient()
{
    const auto view = openScreen();
    QVERIFY(view);
    auto* device = child<QLabel>(*view, "labelConnectedDevice");
    QVERIFY(device->isVisible());
    Patient sent = m_patient;
    sent.startRecipeCommand();
    QVERIFY(sent.deviceIcon().toImage() != m_patient.deviceIcon().toImage());
    view->updatePatient(sent);
    QCOMPARE(device->pixmap().toImage(), sent.deviceIcon().toImage());

    // Another patient's news are not this screen's.
    Patient other(FakePatientService::patient("p2", "Other"));
    view->updatePatient(other);
    QVERIFY(device->isVisible());
}

void ViewReceiptTest::percentBar_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("barWidth");
    // The cell is 250 pixels wide.
    QTest::newRow("0: no bar") << 0 << 0;
    QTest::newRow("37") << 37 << 92;
    QTest::newRow("100: the whole cell") << 100 << 250;
    QTest::newRow("past 100: the whole cell") << 130 << 250;
}

void ViewReceiptTest::percentBar()
{
    QFETCH(int, percent);
    QFETCH(int, barWidth);
    ReceiptModel model;
    model.setAnalysis(compact(QJsonObject{{"rows", QJsonArray{markerJson("a", percent)}}}), Recipe());
    QTableView table;
    ReceiptDelegate delegate(&table);
    table.setModel(&model);

    QImage image(250, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = image.rect();
    option.widget = &table;
    delegate.paint(&painter, option, model.index(0, ReceiptModel::PercentColumn));
    painter.end();

    // Along the top row, away from the text: the bar, then the empty track.
    const QRgb track = QColor(234, 239, 242).rgb();
    int bar = 0;
    while (bar < image.width() && image.pixel(bar, 1) != track)
        ++bar;
    QCOMPARE(bar, barWidth);
    for (int x = bar; x < image.width(); ++x)
        QCOMPARE(image.pixel(x, 1), track);
    QCOMPARE(image.pixel(0, 1) == track, barWidth == 0);
}

void ViewReceiptTest::descriptionPopupFollowsThePointer()
{
    const auto view = openScreen();
    QVERIFY(view);
    analyse(*view, 0);
    auto* table = child<QTableView>(*view, "tableView");
    // Sorted by match, highest first: the rows no longer follow the model's.
    table->sortByColumn(ReceiptModel::PercentColumn, Qt::DescendingOrder);
    auto* popup = view->findChild<ReceiptDescriptionPopup*>();
    QVERIFY(popup);

    const QRect cell = table->visualRect(table->model()->index(0, ReceiptModel::NotesColumn));
    QTest::mouseMove(view->windowHandle(), table->viewport()->mapTo(view.get(), cell.center()));
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(popup->findChild<QLabel*>("titleLabel")->text(), QStringLiteral("Marker c"));
    QCOMPARE(popup->findChild<QPlainTextEdit*>("textViewer")->toPlainText(), QStringLiteral("About c"));
    const QPoint anchor = table->viewport()->mapToGlobal(QPoint(cell.left(), cell.top() + cell.height() / 2));
    QCOMPARE(popup->geometry().topLeft(),
             QPoint(anchor.x() + 8 - popup->width(), anchor.y() + 8 - popup->height() / 2));

    // The pointer inside the popup keeps it; elsewhere it goes within half a second.
    QCursor::setPos(popup->geometry().center());
    QTest::qWait(ReceiptDescriptionPopup::hideIntervalMs * 2);
    QVERIFY(popup->isVisible());
    QCursor::setPos(popup->geometry().bottomRight() + QPoint(200, 200));
    QTRY_VERIFY_WITH_TIMEOUT(!popup->isVisible(), ReceiptDescriptionPopup::hideIntervalMs * 3);
}

void ViewReceiptTest::popupGoesWithTheScreen()
{
    auto view = openScreen();
    QVERIFY(view);
    QPointer<ReceiptDescriptionPopup> popup = view->findChild<ReceiptDescriptionPopup*>();
    QVERIFY(popup);
    QVERIFY(popup->isWindow());
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
    const QImage image = popup.grab().toImage();
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(popup.width() - 1, 0), QPoint(4, 4), QPoint(popup.width() - 12, 10)})
        QVERIFY2(!shown.contains(corner), qPrintable(QStringLiteral("%1,%2").arg(corner.x()).arg(corner.y())));
    QVERIFY(shown.contains(QPoint(20, 20)));
    QCOMPARE(QColor(image.pixel(20, 20)), QColor(243, 255, 253));
    int dark = 0;
    for (const QRect& rect : shown)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                dark += qGray(image.pixel(x, y)) < 20 ? 1 : 0;
    QCOMPARE(dark, 0);
}

QTEST_MAIN(ViewReceiptTest)
#include "tst_viewreceipt.moc"
