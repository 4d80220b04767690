// The impact screen against a scripted service: the duration rule, each
// target's outcome and Start after every one of them (a cancelled download
// among them), replies handled as asked, the marker table, and leaving.
#include "api/PatientManager.h"
#include "app/Application.h"
#include "audio/ImpactAudio.h"
#include "audio/SensorAudioFormat.h"
#include "base/Language.h"
#include "data/ImpactModel.h"
#include "data/PatientModel.h"
#include "support/FakePatientService.h"
#include "support/MessageBoxRecorder.h"
#include "support/PackedAudio.h"
#include "support/RecipeFixtures.h"
#include "support/SaveFileAnswer.h"
#include "support/ServiceTestEnvironment.h"
#include "views/ImpactWavSaver.h"
#include "views/ViewImpact.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

using namespace RecipeFixtures;

namespace {

QList<Marker> markers(const QList<int>& amounts)
{
    QList<Marker> list;
    for (int i = 0; i < amounts.size(); ++i)
        list << Marker(markerJson(QString("m%1").arg(i), 50, amounts.at(i)));
    return list;
}

// Distinct blocks of the given sizes.
QList<QByteArray> blocks(const QList<int>& sizes)
{
    QList<QByteArray> list;
    for (int i = 0; i < sizes.size(); ++i)
        list << QByteArray(sizes.at(i), char('a' + i));
    return list;
}

} // namespace

class ViewImpactTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void durationRule_data();
    void durationRule();
    void replyIsHandledAsAsked_data();
    void replyIsHandledAsAsked();
    void startComesBackAfterEveryOutcome_data();
    void startComesBackAfterEveryOutcome();
    void boxSendsTheChosenCommandAndReportsThePatient();
    void startReportsTheSavedOrder_data();
    void startReportsTheSavedOrder();
    void markerTableClicks_data();
    void markerTableClicks();
    void leaving();

private:
    std::unique_ptr<ViewImpact> openScreen(const QList<int>& amounts, bool changed = false);
    void choose(ViewImpact& view, ViewImpact::Target target, int minutes);
    void answerAudio(const QList<QByteArray>& audio, int delayMs = 0);
    QJsonObject requestBody(const QByteArray& method) const;

    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<QTemporaryDir> m_folder;
    QTranslator m_translator;
    Patient m_patient;
    Record m_record;
};

void ViewImpactTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
    QJsonObject patient = FakePatientService::patient("p1", "Anna Berg");
    patient.insert("hasDevices", true);
    patient.insert("isEnabled", true);
    m_patient = Patient(patient);
    m_record = Record(QJsonObject{{"id", "r1"}, {"patientId", "p1"}});
}

void ViewImpactTest::init()
{
    m_service = std::make_unique<FakePatientService>();
    m_service->answer("PUT", "/recipe", ScriptedResponse::json(200, "{}"));
    answerAudio(blocks({300, 500}));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
    m_folder = std::make_unique<QTemporaryDir>();
}

void ViewImpactTest::cleanup()
{
    m_tester.reset();
    m_environment.reset();
    m_service.reset();
}

void ViewImpactTest::answerAudio(const QList<QByteArray>& audio, int delayMs)
{
    ScriptedResponse response = ScriptedResponse::json(200, packedAudioReply(audio));
    response.delayBeforeHeadersMs = delayMs;
    m_service->answer("POST", "/recipe", response);
}

QJsonObject ViewImpactTest::requestBody(const QByteArray& method) const
{
    return QJsonDocument::fromJson(m_service->requests(method, "/recipe").first().body).object();
}

std::unique_ptr<ViewImpact> ViewImpactTest::openScreen(const QList<int>& amounts, bool changed)
{
    QList<Marker> list = markers(amounts);
    auto view = std::make_unique<ViewImpact>(nullptr, m_patient, m_record, list, changed);
    m_tester = std::make_unique<QAbstractItemModelTester>(view->model(),
                                                          QAbstractItemModelTester::FailureReportingMode::QtTest);
    view->resize(1000, 600);
    view->show();
    return QTest::qWaitForWindowExposed(view.get()) ? std::move(view) : nullptr;
}

void ViewImpactTest::choose(ViewImpact& view, ViewImpact::Target target, int minutes)
{
    auto* targets = child<QComboBox>(view, "comboBoxTarget");
    targets->setCurrentIndex(targets->findData(QVariant::fromValue(target)));
    child<QSpinBox>(view, "spinBoxDuration")->setValue(minutes);
}

void ViewImpactTest::durationRule_data()
{
    QTest::addColumn<QList<int>>("amounts");
    QTest::addColumn<int>("target"); // -1: as built
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("repetitions");

    QTest::newRow("as built, total 0") << QList<int>{0, 0} << -1 << 0 << 1 << 1;
    QTest::newRow("sensor, 3 + 2, 10 min") << QList<int>{3, 2} << int(ViewImpact::Sensor) << 10 << 1 << 40;
    QTest::newRow("download, 1 min per marker") << QList<int>{3, 2} << int(ViewImpact::Download) << 1 << 1 << 20;
    // 45 frequencies of 3 s need 2.25 minutes: 1 is raised to 3.
    QTest::newRow("sensor, 45, raised to 3") << QList<int>{40, 5} << int(ViewImpact::Sensor) << 1 << 3 << 1;
    QTest::newRow("box, 45, raised to 3") << QList<int>{40, 5} << int(ViewImpact::Box) << 1 << 3 << 1;
}

void ViewImpactTest::durationRule()
{
    QFETCH(QList<int>, amounts);
    QFETCH(int, target);
    QFETCH(int, minutes);
    QFETCH(int, minimum);
    QFETCH(int, repetitions);
    const auto view = openScreen(amounts);
    QVERIFY(view);
    if (target >= 0)
        choose(*view, ViewImpact::Target(target), minutes);
    QCOMPARE(child<QSpinBox>(*view, "spinBoxDuration")->minimum(), minimum);
    QCOMPARE(view->repetitions(), repetitions);
}

void ViewImpactTest::replyIsHandledAsAsked_data()
{
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("shownWhenTheReplyComes");
    QTest::newRow("sensor, then download chosen") << int(ViewImpact::Sensor) << int(ViewImpact::Download);
    QTest::newRow("download, then sensor chosen") << int(ViewImpact::Download) << int(ViewImpact::Sensor);
}

void ViewImpactTest::replyIsHandledAsAsked()
{
    QFETCH(int, asked);
    QFETCH(int, shownWhenTheReplyComes);
    answerAudio(blocks({300, 500}), 300);
    const QString path = m_folder->filePath("impact.wav");
    SaveFileAnswer saveAs(path);
    const auto view = openScreen({3, 2}, true);
    QVERIFY(view);
    choose(*view, ViewImpact::Target(asked), 1);
    QByteArray played;
    // As the main window does: a player runs while the samples play.
    connect(view.get(), &ViewImpact::onPlay, this, [&](const QByteArray& samples, const QString& title) {
        played = samples + title.toUtf8();
        view->onPlayerState(true);
    });
    auto* start = child<QPushButton>(*view, "buttonStart");
    start->click();
    // The overlay stops the mouse, not the keyboard.
    choose(*view, ViewImpact::Target(shownWhenTheReplyComes), 2);
    QVERIFY(!start->isEnabled());
    const bool download = asked == ViewImpact::Download;
    QTRY_VERIFY(download ? start->isEnabled() : !played.isEmpty());
    QCOMPARE(saveAs.questions.size(), download ? 1 : 0);
    QVERIFY(!download || saveAs.questions.first().defaultSuffix == "wav");
    // The repetitions are those of the minute asked for, not of the two shown now.
    const QByteArray samples = ImpactAudio::assemble(blocks({300, 500}), download ? 20 : 4).samples();
    if (download) {
        QCOMPARE(readFile(path), wavHeader(samples.size()) + samples);
    } else {
        QCOMPARE(played, samples + "Anna Berg");
        QVERIFY(!start->isEnabled());
        view->onPlayerState(false);
        QVERIFY(start->isEnabled());
    }
    QCOMPARE(requestBody("POST").value("duration").toInt(), 1);
    QVERIFY(!view->isChanged()); // the service saved the recipe with the audio
}

void ViewImpactTest::startComesBackAfterEveryOutcome_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QList<int>>("blockSizes"); // empty: the service refuses
    QTest::addColumn<QString>("fileName");      // in the test's folder; empty: no name given
    QTest::addColumn<QString>("error");         // part of the one message shown; empty: none
    QTest::addColumn<QByteArray>("file");       // what the file holds after; empty: no file
    QTest::addColumn<bool>("cancel");           // the file held "earlier", the writing is cancelled

    const QList<int> usual{300, 500};
    for (const auto& [target, name] : {std::pair{ViewImpact::Sensor, "sensor"},
                                       std::pair{ViewImpact::Download, "download"}, std::pair{ViewImpact::Box, "box"}})
        QTest::addRow("%s: service refuses", name) << int(target) << 1 << QList<int>{} << "impact.wav"
                                                   << "Not allowed" << QByteArray() << false;
    QTest::newRow("sensor: too long for memory") << int(ViewImpact::Sensor) << 600 << QList<int>{200000} << "impact.wav"
                                                 << "memory" << QByteArray() << false;
    // A file without a sound would pass for the impact.
    QTest::newRow("download: empty reply") << int(ViewImpact::Download) << 1 << QList<int>{0} << "impact.wav"
                                           << "nothing to save" << QByteArray() << false;
    QTest::newRow("download: no name given")
        << int(ViewImpact::Download) << 1 << usual << "" << QString() << QByteArray() << false;
    QTest::newRow("download: folder missing") << int(ViewImpact::Download) << 1 << usual << "missing/impact.wav"
                                              << "could not be saved" << QByteArray() << false;
    // 4.8 GB of samples: refused before a name is asked, with the most minutes per marker that fit.
    QTest::newRow("download: past 4 GiB") << int(ViewImpact::Download) << 600 << QList<int>{400000} << "impact.wav"
                                          << "at most 533 minutes" << QByteArray() << false;
    // About 4 GB to write: long enough to be cancelled while the worker writes.
    QTest::newRow("download: cancelled") << int(ViewImpact::Download) << 600 << QVector<int>(5, 65709).toList()
                                         << "impact.wav" << QString() << QByteArray("earlier") << true;
}

void ViewImpactTest::startComesBackAfterEveryOutcome()
{
    QFETCH(int, target);
    QFETCH(int, minutes);
    QFETCH(QList<int>, blockSizes);
    QFETCH(QString, fileName);
    QFETCH(QString, error);
    QFETCH(QByteArray, file);
    QFETCH(bool, cancel);
    if (blockSizes.isEmpty()) {
        for (const char* method : {"POST", "PUT"})
            m_service->answer(method, "/recipe", ScriptedResponse::json(403, R"({"message":"Not allowed"})"));
    } else {
        answerAudio(blocks(blockSizes));
    }
    const QString path = fileName.isEmpty() ? QString() : m_folder->filePath(fileName);
    if (cancel) {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
    }
    SaveFileAnswer saveAs(path);
    MessageBoxRecorder boxes;
    const auto view = openScreen({1});
    QVERIFY(view);
    choose(*view, ViewImpact::Target(target), minutes);
    auto* start = child<QPushButton>(*view, "buttonStart");
    start->click();
    QVERIFY(!start->isEnabled());
    if (cancel) {
        QTRY_VERIFY(view->wavSaver() && view->wavSaver()->dialog() && view->wavSaver()->dialog()->isVisible());
        // The interface thread is free while the file is written: the click comes through.
        QTest::mouseClick(view->wavSaver()->dialog()->findChild<QPushButton*>(), Qt::LeftButton);
    }
    QTRY_VERIFY_WITH_TIMEOUT(start->isEnabled(), 20000);
    QCOMPARE(boxes.texts().size(), error.isEmpty() ? 0 : 1);
    QVERIFY2(error.isEmpty() || boxes.texts().first().contains(error), qPrintable(boxes.texts().join('\n')));
    if (!file.isEmpty())
        QCOMPARE(readFile(path), file);
    const QStringList left = QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, file.isEmpty() ? QStringList() : QStringList{fileName});
    if (error.contains("533"))
        QCOMPARE(saveAs.questions.size(), 0);
}

// The chosen command goes (the default one is the end-to-end test's), and the
// device's new state reaches the directory and, through the main window, the
// screens below.
void ViewImpactTest::boxSendsTheChosenCommandAndReportsThePatient()
{
    PatientManager::instance().model()->append(m_patient);
    MessageBoxRecorder boxes;
    const auto view = openScreen({3, 2}, true);
    QVERIFY(view);
    choose(*view, ViewImpact::Box, 7);
    child<QComboBox>(*view, "comboBoxCommand")->setCurrentIndex(1);
    QList<Patient> reported;
    connect(view.get(), &ViewImpact::onPatientChanged, this, [&](Patient& patient) { reported << patient; });
    child<QPushButton>(*view, "buttonStart")->click();
    QTRY_COMPARE(reported.size(), 1);
    const QJsonObject body = requestBody("PUT");
    QCOMPARE(body.value("command").toString(), QStringLiteral("SELFRECIPE"));
    QCOMPARE(body.value("duration").toInt(), 7);
    QCOMPARE(reported.first().deviceState(), DeviceState::RecipeInProgress);
    QCOMPARE(PatientManager::instance().model()->patientById("p1").deviceState(), DeviceState::RecipeInProgress);
    QVERIFY(child<QPushButton>(*view, "buttonStart")->isEnabled());
}

void ViewImpactTest::startReportsTheSavedOrder_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("saved"); // the order reported; empty: none

    for (const auto& [target, name] :
         {std::pair{ViewImpact::Sensor, "sensor"}, std::pair{ViewImpact::Download, "download"},
          std::pair{ViewImpact::Box, "box"}}) {
        QTest::addRow("%s: saved", name) << int(target) << 200 << "m1 m0 m2";
        QTest::addRow("%s: refused", name) << int(target) << 403 << "";
    }
}

// The order sent, not the one shown when the service confirms: the move
// made meanwhile is still to be saved.
void ViewImpactTest::startReportsTheSavedOrder()
{
    QFETCH(int, target);
    QFETCH(int, status);
    QFETCH(QString, saved);
    ScriptedResponse answer = status == 200 ? ScriptedResponse::json(200, packedAudioReply(blocks({30, 50, 70})))
                                            : ScriptedResponse::json(status, R"({"message":"Not allowed"})");
    answer.delayBeforeHeadersMs = 200;
    m_service->answer(target == ViewImpact::Box ? "PUT" : "POST", "/recipe", answer);
    SaveFileAnswer cancel;
    MessageBoxRecorder boxes;
    const auto view = openScreen({1, 1, 1});
    QVERIFY(view);
    choose(*view, ViewImpact::Target(target), 1);
    QStringList reported;
    connect(view.get(), &ViewImpact::onMarkersSaved, this,
            [&](const QList<Marker>& markers) { reported << idsOf(markers).join(' '); });
    view->model()->moveMarker(1, 0);
    child<QPushButton>(*view, "buttonStart")->click();
    view->model()->moveMarker(1, 0);
    QTRY_VERIFY(child<QPushButton>(*view, "buttonStart")->isEnabled());

    QCOMPARE(reported, saved.isEmpty() ? QStringList() : QStringList{saved});
    QVERIFY(view->isChanged());
}

// Down from the first and removal by click are the end-to-end test's.
void ViewImpactTest::markerTableClicks_data()
{
    QTest::addColumn<QPoint>("press");   // (row, column)
    QTest::addColumn<QPoint>("release"); // (row, column)
    QTest::addColumn<QString>("order");
    const int up = ImpactModel::UpColumn;
    const int down = ImpactModel::DownColumn;
    QTest::newRow("second up") << QPoint(1, up) << QPoint(1, up) << "m1 m0 m2";
    QTest::newRow("first up: nothing") << QPoint(0, up) << QPoint(0, up) << "m0 m1 m2";
    QTest::newRow("last down: nothing") << QPoint(2, down) << QPoint(2, down) << "m0 m1 m2";
    QTest::newRow("released elsewhere") << QPoint(1, up) << QPoint(2, up) << "m0 m1 m2";
    const QPoint remove(1, ImpactModel::RemoveColumn);
    QTest::newRow("remove the middle") << remove << remove << "m0 m2";
}

void ViewImpactTest::markerTableClicks()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(QString, order);
    const auto view = openScreen({1, 10, 100});
    QVERIFY(view);
    QSignalSpy back(view.get(), &ViewImpact::onBack);
    auto* table = child<QTableView>(*view, "tableView");
    const auto at = [&](const QPoint& cell) {
        const QRect rect = table->visualRect(view->model()->index(cell.x(), cell.y()));
        return table->viewport()->mapTo(view.get(), rect.center());
    };
    QTest::mousePress(view->windowHandle(), Qt::LeftButton, {}, at(press));
    QTest::mouseRelease(view->windowHandle(), Qt::LeftButton, {}, at(release));

    QCOMPARE(idsOf(view->model()->markers()).join(' '), order);
    QCOMPARE(view->isChanged(), order != "m0 m1 m2");
    QCOMPARE(view->total(), order.contains("m1") ? 111 : 101);
    // The last marker removed, back to the recipe.
    QCOMPARE(back.count(), 0);
    while (view->model()->rowCount() > 0)
        view->model()->removeMarkerAt(0);
    QCOMPARE(back.count(), 1);
}

// The question and the save are the recipe screen's; the impact screen adds
// its own way back, which never asks, and its duration in the save.
void ViewImpactTest::leaving()
{
    const auto view = openScreen({3, 2}, true);
    QVERIFY(view);
    choose(*view, ViewImpact::Sensor, 12);
    MessageBoxRecorder recorder(QMessageBox::Yes);
    QSignalSpy back(view.get(), &ViewImpact::onBack);
    QSignalSpy card(view.get(), &ViewImpact::onPatientCard);
    child<QPushButton>(*view, "buttonBack")->click();
    QCOMPARE(back.count(), 1);
    QCOMPARE(recorder.boxes.size(), 0);
    child<QPushButton>(*view, "buttonPatientCard")->click();
    QTRY_COMPARE(card.count(), 1);
    QCOMPARE(recorder.boxes.size(), 1);
    QCOMPARE(requestBody("PUT").value("duration").toInt(), 12);
    QVERIFY(!view->isChanged());
}

QTEST_MAIN(ViewImpactTest)
#include "tst_viewimpact.moc"
