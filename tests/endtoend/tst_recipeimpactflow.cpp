// The recipe and impact screens against the running local service: the
// seeded recipe, ticks saved in their order, the impact's order and removals,
// the WAV download, and the recipe sent to a patient's remote device.
#include "app/Application.h"
#include "audio/AudioBlocks.h"
#include "audio/ImpactAudio.h"
#include "audio/SensorAudioFormat.h"
#include "base/Language.h"
#include "data/ImpactModel.h"
#include "data/ReceiptModel.h"
#include "support/ControllerOutcome.h"
#include "support/LocalServiceProcess.h"
#include "support/MessageBoxRecorder.h"
#include "support/RecipeFixtures.h"
#include "support/ScopedSaveFileName.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"
#include "views/ViewImpact.h"
#include "views/ViewReceipt.h"

#include <QComboBox>
#include <QJsonDocument>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTranslator>
#include <QtTest>

#include <functional>
#include <memory>

using namespace RecipeFixtures;

namespace {

// The seed's first patient, whose latest record carries a recipe, and its
// fourth, whose device is connected and idle.
const QString firstSeeded = QStringLiteral("Anna Schmidt");
const QString withDevice = QStringLiteral("Мария Иванова");

} // namespace

class RecipeImpactFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void seededRecipeTickedAndSaved();
    void impactOrderRemovalAndDownload();
    void boxSendsTheRecipeToTheDevice();

private:
    std::unique_ptr<ControllerOutcome> call(const std::function<void(Controller&)>& operation);
    Patient patient(const QString& name);
    Record latestRecord(const Patient& patient);
    QList<Marker> savedRecipe(const Patient& patient, const Record& record);

    LocalServiceProcess m_service{{QStringLiteral("--command-seconds"), QStringLiteral("600")}};
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ScopedWorkingDirectory> m_workingDirectory;
    QTranslator m_translator;
    QList<Patient> m_patients;
};

void RecipeImpactFlowTest::initTestCase()
{
    setupApplication(*qApp);
    QVERIFY(loadTranslation(m_translator, QStringLiteral("Translation_en_US.qm")));
    m_workingDirectory = std::make_unique<ScopedWorkingDirectory>();
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    QCOMPARE(call([](Controller& c) {
                 c.login({{"username", "demo"}, {"password", "demo"}});
             })->signalNames,
             QStringList{"onSuccess"});
    const auto page = call([](Controller& c) { c.filterPatients("name", "asc", 100, 0, "name", QString()); });
    for (const QJsonValue& value : QJsonDocument::fromJson(page->bytes).object().value("data").toArray())
        m_patients << Patient(value.toObject());
    QVERIFY(m_patients.size() >= 4);
}

void RecipeImpactFlowTest::cleanupTestCase()
{
    m_environment.reset();
    QVERIFY2(m_service.stop(), qPrintable(m_service.errorText()));
}

std::unique_ptr<ControllerOutcome> RecipeImpactFlowTest::call(const std::function<void(Controller&)>& operation)
{
    auto* controller = new Controller;
    auto outcome = std::make_unique<ControllerOutcome>(controller);
    operation(*controller);
    if (!QTest::qWaitFor([&] { return outcome->reported() && outcome->controllerGone(); }, 20000))
        qWarning("the call did not end within 20 s");
    return outcome;
}

Patient RecipeImpactFlowTest::patient(const QString& name)
{
    for (const Patient& candidate : m_patients) {
        if (candidate.name() == name)
            return candidate;
    }
    return {};
}

Record RecipeImpactFlowTest::latestRecord(const Patient& patient)
{
    Record latest;
    for (const QJsonValue& value :
         QJsonDocument::fromJson(call([&](Controller& c) { c.getRecords(patient); })->bytes).array()) {
        const Record record(value.toObject());
        if (record.recordedAt() > latest.recordedAt())
            latest = record;
    }
    return latest;
}

QList<Marker> RecipeImpactFlowTest::savedRecipe(const Patient& patient, const Record& record)
{
    return Recipe::fromJson(call([&](Controller& c) { c.getRecipe(patient, record); })->bytes).markers();
}

void RecipeImpactFlowTest::seededRecipeTickedAndSaved()
{
    Patient anna = patient(firstSeeded);
    Record record = latestRecord(anna);
    const QStringList seeded = idsOf(savedRecipe(anna, record));
    QCOMPARE(seeded.size(), 3);

    ViewReceipt view(nullptr, anna, record);
    view.show();
    QTRY_VERIFY(child<QComboBox>(view, "comboBoxStorages")->count() > 0 && overlayGone(view));
    QCOMPARE(idsOf(view.recipe().markers()), seeded);

    // The first seeded marker is the first of the first storage's analysis.
    child<QPushButton>(view, "buttonAnalyse")->click();
    QTRY_VERIFY(view.model()->rowCount() > 2 && overlayGone(view));
    QCOMPARE(view.model()->markerAt(0).id(), seeded.first());
    QCOMPARE(view.model()->index(0, 0).data(Qt::CheckStateRole), QVariant(Qt::Checked));
    const QString added = view.model()->markerAt(2).id();
    view.model()->setData(view.model()->index(2, 0), Qt::Checked, Qt::CheckStateRole);
    view.model()->setData(view.model()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    view.model()->setData(view.model()->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    const QStringList expected{seeded.at(1), seeded.at(2), added, seeded.at(0)};
    QCOMPARE(idsOf(view.recipe().markers()), expected);

    MessageBoxRecorder boxes(QMessageBox::Yes);
    QSignalSpy back(&view, &ViewReceipt::onBack);
    child<QPushButton>(view, "buttonBack")->click();
    QTRY_COMPARE(back.count(), 1);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(idsOf(savedRecipe(anna, record)), expected);
}

void RecipeImpactFlowTest::impactOrderRemovalAndDownload()
{
    Patient anna = patient(firstSeeded);
    Record record = latestRecord(anna);
    QList<Marker> recipe = savedRecipe(anna, record);
    QVERIFY(recipe.size() >= 3);
    ViewImpact view(nullptr, anna, record, recipe, false);
    view.resize(900, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(child<QComboBox>(view, "comboBoxTarget")->findData(QVariant::fromValue(ViewImpact::Box)), -1);
    QSignalSpy removed(&view, &ViewImpact::onMarkerRemove);
    auto* table = child<QTableView>(view, "tableView");
    const auto click = [&](int row, int column) {
        const QRect cell = table->visualRect(view.model()->index(row, column));
        const QPoint at = table->viewport()->mapTo(&view, cell.center());
        QTest::mouseClick(view.windowHandle(), Qt::LeftButton, {}, at);
    };
    click(0, ImpactModel::DownColumn);
    click(2, ImpactModel::RemoveColumn);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().first().toString(), recipe.at(2).id());
    const QList<Marker> impact = view.model()->markers();
    QCOMPARE(idsOf(impact).mid(0, 2), (QStringList{recipe.at(1).id(), recipe.at(0).id()}));

    // One minute per marker: each block 20 times, in the impact's order.
    auto* targets = child<QComboBox>(view, "comboBoxTarget");
    targets->setCurrentIndex(targets->findData(QVariant::fromValue(ViewImpact::Download)));
    child<QSpinBox>(view, "spinBoxDuration")->setValue(1);
    ScopedSaveFileName saveAs(m_workingDirectory->filePath("impact.wav"));
    MessageBoxRecorder boxes;
    child<QPushButton>(view, "buttonStart")->click();
    QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>(view, "buttonStart")->isEnabled() && !view.wavSaver(), 20000);
    QCOMPARE(boxes.texts(), QStringList());

    const QList<QByteArray> blocks =
        decodeAudioBlocks(call([&](Controller& c) { c.createRecipe(anna, record, impact, 1, QString()); })->bytes);
    QCOMPARE(blocks.size(), impact.size());
    const QByteArray samples = ImpactAudio::assemble(blocks, 20).samples();
    QCOMPARE(saveAs.questions.size(), 1);
    QFile file(m_workingDirectory->filePath("impact.wav"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), 44 + samples.size());
    QCOMPARE(file.read(44), wavHeader(samples.size()));
    QVERIFY(file.read(samples.size()) == samples);
    // The impact's order is the recipe's now.
    QCOMPARE(idsOf(savedRecipe(anna, record)), idsOf(impact));
}

void RecipeImpactFlowTest::boxSendsTheRecipeToTheDevice()
{
    Patient maria = patient(withDevice);
    QCOMPARE(maria.deviceState(), DeviceState::NoCommand);
    Record record = latestRecord(maria);
    QList<Marker> markers = savedRecipe(patient(firstSeeded), latestRecord(patient(firstSeeded))).mid(0, 1);
    ViewImpact view(nullptr, maria, record, markers, false);
    auto* targets = child<QComboBox>(view, "comboBoxTarget");
    targets->setCurrentIndex(targets->findData(QVariant::fromValue(ViewImpact::Box)));
    QVERIFY(targets->currentIndex() >= 0);
    QList<Patient> reported;
    connect(&view, &ViewImpact::onPatientChanged, this, [&reported](Patient& changed) { reported << changed; });
    MessageBoxRecorder boxes;
    child<QPushButton>(view, "buttonStart")->click();
    QTRY_COMPARE(reported.size(), 1);
    QCOMPARE(reported.first().command(), QStringLiteral("RECIPE"));
    QCOMPARE(boxes.texts(), QStringList{"Success: The recipe was sent to the patient's device."});

    const auto page = call([&](Controller& c) { c.filterPatients("name", "asc", 100, 0, "name", maria.name()); });
    const Patient stored(QJsonDocument::fromJson(page->bytes).object().value("data").toArray().first().toObject());
    QCOMPARE(stored.command(), QStringLiteral("RECIPE"));
    QCOMPARE(stored.deviceState(), DeviceState::RecipeInProgress);
}

QTEST_MAIN(RecipeImpactFlowTest)
#include "tst_recipeimpactflow.moc"
