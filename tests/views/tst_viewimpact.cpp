// The impact screen against a scripted service: the duration rule, each
// target's outcome and Start after every one of them, replies handled as
// asked, the WAV download with its progress dialog, and the marker table.
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
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
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
    void downloadCancelledLeavesNoFile();
    void boxSendsTheCommandAndReportsThePatient();
    void markerTableClicks_data();
    void markerTableClicks();
    void leaving();

private:
    std::unique_ptr<ViewImpact> openScreen(const QList<int>& amounts, bool changed = false);
    void choose(ViewImpact& view, ViewImpact::Target target, int minutes);
    void answerAudio(const QList<QByteArray>& audio, int delayMs = 0);

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
    QTest::addColumn<QString>("texts"); // duration label | Start | total | markers
    QTest::addColumn<bool>("command");

    QTest::newRow("as built, total 0") << QList<int>{0, 0} << -1 << 0 << 1 << 1
                                       << "Duration|Start|Total: 1 min|Frequencies: 0" << false;
    QTest::newRow("sensor, 3 + 2, 10 min") << QList<int>{3, 2} << int(ViewImpact::Sensor) << 10 << 1 << 40
                                           << "Duration|Start|Total: 10 min|Frequencies: 5" << false;
    QTest::newRow("download, 1 min per marker") << QList<int>{3, 2} << int(ViewImpact::Download) << 1 << 1 << 20
                                                << "Duration per marker|Save|Total: 5 min|Frequencies: 5" << false;
    // 45 frequencies of 3 s need 2.25 minutes: 1 is raised to 3.
    QTest::newRow("sensor, 45, raised to 3") << QList<int>{40, 5} << int(ViewImpact::Sensor) << 1 << 3 << 1
                                             << "Duration|Start|Total: 3 min|Frequencies: 45" << false;
    QTest::newRow("box, 45, raised to 3") << QList<int>{40, 5} << int(ViewImpact::Box) << 1 << 3 << 1
                                          << "Duration|Start|Total: 3 min|Frequencies: 45" << true;
}

void ViewImpactTest::durationRule()
{
    QFETCH(QList<int>, amounts);
    QFETCH(int, target);
    QFETCH(int, minutes);
    QFETCH(int, minimum);
    QFETCH(int, repetitions);
    QFETCH(QString, texts);
    QFETCH(bool, command);
    const auto view = openScreen(amounts);
    QVERIFY(view);
    if (target >= 0)
        choose(*view, ViewImpact::Target(target), minutes);
    auto* spin = child<QSpinBox>(*view, "spinBoxDuration");
    QCOMPARE(spin->minimum(), minimum);
    QCOMPARE(spin->maximum(), 600);
    QCOMPARE(view->repetitions(), repetitions);
    const QStringList shown{child<QLabel>(*view, "labelDuration")->text(),
                            child<QPushButton>(*view, "buttonStart")->text(),
                            child<QLabel>(*view, "labelTotal")->text(), child<QLabel>(*view, "labelMarkers")->text()};
    QCOMPARE(shown.join('|'), texts);
    QCOMPARE(child<QComboBox>(*view, "comboBoxCommand")->isVisible(), command);
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
    const QJsonObject body = QJsonDocument::fromJson(m_service->requests("POST", "/recipe").first().body).object();
    QCOMPARE(body.value("markers").toArray(), (QJsonArray{"m0", "m1"}));
    QCOMPARE(body.value("duration").toInt(), 1);
    QCOMPARE(body.value("command").toString("-"), QString());
    QVERIFY(!view->isChanged()); // the service saved the recipe with the audio
}

void ViewImpactTest::startComesBackAfterEveryOutcome_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QList<int>>("blockSizes"); // empty: the service refuses
    QTest::addColumn<QString>("fileName");      // in the test's folder; empty: no name given
    QTest::addColumn<QString>("message");       // empty: none
    QTest::addColumn<QByteArray>("file");       // what the file holds after; empty: no file

    const QString refused = "Error: Not allowed";
    const QList<int> usual{300, 500};
    const QByteArray usualWav = wavHeader(16000) + QByteArray(300 * 20, 'a') + QByteArray(500 * 20, 'b');
    for (const auto& [target, name] : {std::pair{ViewImpact::Sensor, "sensor"},
                                       std::pair{ViewImpact::Download, "download"}, std::pair{ViewImpact::Box, "box"}})
        QTest::addRow("%s: service refuses", name)
            << int(target) << 1 << QList<int>{} << "impact.wav" << refused << QByteArray();
    QTest::newRow("sensor: too long for memory")
        << int(ViewImpact::Sensor) << 600 << QList<int>{200000} << "impact.wav"
        << "Error: The impact is too long to be held in memory. Choose a shorter duration." << QByteArray();
    QTest::newRow("download: saved") << int(ViewImpact::Download) << 1 << usual << "impact.wav" << QString()
                                     << usualWav;
    QTest::newRow("download: empty reply")
        << int(ViewImpact::Download) << 1 << QList<int>{0} << "impact.wav" << QString() << wavHeader(0);
    QTest::newRow("download: no name given")
        << int(ViewImpact::Download) << 1 << usual << "" << QString() << QByteArray();
    QTest::newRow("download: folder missing")
        << int(ViewImpact::Download) << 1 << usual << "missing/impact.wav"
        << "Error: The WAV file could not be saved. Check that the folder exists, that you may write there and "
           "that the disk has room."
        << QByteArray();
    // 4.8 GB of samples: refused before a name is asked, with the longest file possible.
    QTest::newRow("download: past 4 GiB")
        << int(ViewImpact::Download) << 600 << QList<int>{400000} << "impact.wav"
        << "Error: This WAV file would take 4.5 GB, more than the 4 GB a WAV file can hold. With these markers the "
           "longest file lasts 3246 minutes: choose at most 533 minutes per marker."
        << QByteArray();
}

void ViewImpactTest::startComesBackAfterEveryOutcome()
{
    QFETCH(int, target);
    QFETCH(int, minutes);
    QFETCH(QList<int>, blockSizes);
    QFETCH(QString, fileName);
    QFETCH(QString, message);
    QFETCH(QByteArray, file);
    if (blockSizes.isEmpty()) {
        m_service->answer("POST", "/recipe", ScriptedResponse::json(403, R"({"message":"Not allowed"})"));
        m_service->answer("PUT", "/recipe", ScriptedResponse::json(403, R"({"message":"Not allowed"})"));
    } else {
        answerAudio(blocks(blockSizes));
    }
    const QString path = fileName.isEmpty() ? QString() : m_folder->filePath(fileName);
    SaveFileAnswer saveAs(path);
    MessageBoxRecorder boxes;
    const auto view = openScreen({1});
    QVERIFY(view);
    choose(*view, ViewImpact::Target(target), minutes);
    auto* start = child<QPushButton>(*view, "buttonStart");
    start->click();
    QVERIFY(!start->isEnabled());
    QTRY_VERIFY(start->isEnabled());
    QCOMPARE(boxes.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!file.isEmpty())
        QCOMPARE(readFile(path), file);
    const QStringList left = QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, file.isEmpty() ? QStringList() : QStringList{fileName});
    if (target == ViewImpact::Download && message.contains("4 GB"))
        QCOMPARE(saveAs.questions.size(), 0);
    if (!saveAs.questions.isEmpty()) {
        QCOMPARE(saveAs.questions.first().caption, QStringLiteral("Save the impact as a WAV file"));
        QCOMPARE(saveAs.questions.first().filter, QStringLiteral("*.wav"));
        QCOMPARE(saveAs.questions.first().directory,
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    }
}

void ViewImpactTest::downloadCancelledLeavesNoFile()
{
    // About 4 GB to write: long enough to be cancelled while the worker writes.
    answerAudio(blocks({65709, 65709, 65709, 65709, 65709}));
    const QString path = m_folder->filePath("impact.wav");
    {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    SaveFileAnswer saveAs(path);
    MessageBoxRecorder boxes;
    const auto view = openScreen({1});
    QVERIFY(view);
    choose(*view, ViewImpact::Download, 600);
    child<QPushButton>(*view, "buttonStart")->click();
    QTRY_VERIFY(view->wavSaver() && view->wavSaver()->dialog() && view->wavSaver()->dialog()->isVisible());
    QProgressDialog* dialog = view->wavSaver()->dialog();
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    // The interface thread is free while the file is written: the click comes through.
    QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>(*view, "buttonStart")->isEnabled(), 20000);
    QCOMPARE(readFile(path), QByteArray("earlier"));
    QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"impact.wav"});
    QCOMPARE(boxes.texts(), QStringList());
}

void ViewImpactTest::boxSendsTheCommandAndReportsThePatient()
{
    PatientManager::instance().model()->append(m_patient);
    MessageBoxRecorder boxes;
    const auto view = openScreen({3, 2}, true);
    QVERIFY(view);
    choose(*view, ViewImpact::Box, 7);
    auto* commands = child<QComboBox>(*view, "comboBoxCommand");
    commands->setCurrentIndex(1);
    QList<Patient> reported;
    connect(view.get(), &ViewImpact::onPatientChanged, this, [&](Patient& patient) { reported << patient; });
    child<QPushButton>(*view, "buttonStart")->click();
    QTRY_COMPARE(reported.size(), 1);

    const QJsonObject body = QJsonDocument::fromJson(m_service->requests("PUT", "/recipe").first().body).object();
    QCOMPARE(body.value("command").toString(), QStringLiteral("SELFRECIPE"));
    QCOMPARE(body.value("deviceId").toString("-"), QString());
    QCOMPARE(body.value("duration").toInt(), 7);
    QCOMPARE(boxes.texts(), QStringList{"Success: The recipe was sent to the patient's device."});
    // Whichever command went, the device now runs a recipe: here, in the
    // directory and for the screens below, which the main window tells.
    QCOMPARE(reported.first().deviceState(), DeviceState::RecipeInProgress);
    QCOMPARE(PatientManager::instance().model()->patientById("p1").deviceState(), DeviceState::RecipeInProgress);
    QCOMPARE(child<QLabel>(*view, "labelConnectedDevice")->pixmap().toImage(), reported.first().deviceIcon().toImage());
    QVERIFY(child<QPushButton>(*view, "buttonStart")->isEnabled());
    QCOMPARE(m_service->requests("POST", "/recipe").size(), 0);
}

void ViewImpactTest::markerTableClicks_data()
{
    QTest::addColumn<QPoint>("press");   // (row, column)
    QTest::addColumn<QPoint>("release"); // (row, column)
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("removed");
    const int up = ImpactModel::UpColumn;
    const int down = ImpactModel::DownColumn;
    QTest::newRow("second up") << QPoint(1, up) << QPoint(1, up) << "m1 m0 m2"
                               << "";
    QTest::newRow("first down") << QPoint(0, down) << QPoint(0, down) << "m1 m0 m2"
                                << "";
    QTest::newRow("first up: nothing") << QPoint(0, up) << QPoint(0, up) << "m0 m1 m2"
                                       << "";
    QTest::newRow("last down: nothing") << QPoint(2, down) << QPoint(2, down) << "m0 m1 m2"
                                        << "";
    QTest::newRow("released elsewhere") << QPoint(1, up) << QPoint(2, up) << "m0 m1 m2"
                                        << "";
    QTest::newRow("remove the middle") << QPoint(1, ImpactModel::RemoveColumn) << QPoint(1, ImpactModel::RemoveColumn)
                                       << "m0 m2"
                                       << "m1";
}

void ViewImpactTest::markerTableClicks()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(QString, order);
    QFETCH(QString, removed);
    const auto view = openScreen({1, 10, 100});
    QVERIFY(view);
    QStringList removals;
    connect(view.get(), &ViewImpact::onMarkerRemove, this, [&removals](const QString& id) { removals << id; });
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
    QCOMPARE(removals.join(' '), removed);
    QCOMPARE(view->total(), removed.isEmpty() ? 111 : 101);
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
    const QJsonObject body = QJsonDocument::fromJson(m_service->requests("PUT", "/recipe").first().body).object();
    QCOMPARE(body.value("markers").toArray(), (QJsonArray{"m0", "m1"}));
    QCOMPARE(body.value("duration").toInt(), 12);
    QCOMPARE(body.value("command").toString("-"), QString());
    QVERIFY(!view->isChanged());
}

QTEST_MAIN(ViewImpactTest)
#include "tst_viewimpact.moc"
