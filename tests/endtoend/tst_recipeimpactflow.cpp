// The recipe and impact screens against the running local service, reached
// through the real window: the card's recipe button with the newest record
// ticked, then the recipe screen's own button. The seeded recipe, ticks saved
// in their order and shown again, the impact's order and removals, the WAV
// download, and the recipe sent to a patient's remote device, which the card
// shows afterwards.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "audio/ImpactAudio.h"
#include "audio/SensorAudioFormat.h"
#include "data/ImpactModel.h"
#include "data/ReceiptModel.h"
#include "data/RecordModel.h"
#include "net/AudioBlocks.h"
#include "support/ControllerOutcome.h"
#include "support/LocalServiceProcess.h"
#include "support/MainWindowDriver.h"
#include "support/MessageBoxRecorder.h"
#include "support/RecipeFixtures.h"
#include "support/SaveFileAnswer.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"
#include "views/ViewImpact.h"
#include "views/ViewPatient.h"
#include "views/ViewReceipt.h"

#include <QComboBox>
#include <QHeaderView>
#include <QJsonDocument>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QtTest>

#include <functional>
#include <memory>

using namespace RecipeFixtures;

namespace {

// The seed's first patient, whose latest record carries a recipe, and its
// fourth, whose device is connected and idle.
const QString firstSeeded = QStringLiteral("Anna Schmidt");
const QString withDevice = QStringLiteral("Мария Иванова");

// The markers of the recipe screen's table, top to bottom.
QStringList rowIds(ViewReceipt* view)
{
    QStringList ids;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        ids << view->model()->markerAt(row).id();
    return ids;
}

} // namespace

class RecipeImpactFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void seededRecipeTickedAndSaved();
    void impactOrderRemovalAndDownload();
    void recipeShowsTheOrderTheImpactSaved();
    void boxSendsTheRecipeToTheDevice();

private:
    std::unique_ptr<ControllerOutcome> call(const std::function<void(Controller&)>& operation);
    QList<Marker> savedRecipe() { return savedRecipe(m_card->patient(), m_record); }
    QList<Marker> savedRecipe(const Patient& patient, const Record& record);
    // The patient's card with the newest record ticked, and its recipe screen
    // once the recipe and the storages are loaded.
    ViewReceipt* openRecipe(const QString& name);
    ViewReceipt* reopenRecipe();
    // The recipe screen's button to the impact: the impact screen on top.
    ViewImpact* openImpact(ViewReceipt* recipe);

    LocalServiceProcess m_service{{QStringLiteral("--command-seconds"), QStringLiteral("600")}};
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ScopedWorkingDirectory> m_workingDirectory;
    std::unique_ptr<MainWindowDriver> m_driver;
    ViewPatient* m_card = nullptr;
    Record m_record;
};

void RecipeImpactFlowTest::initTestCase()
{
    setupApplication(*qApp);
    m_workingDirectory = std::make_unique<ScopedWorkingDirectory>();
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(m_driver->window());
}

void RecipeImpactFlowTest::cleanupTestCase()
{
    m_driver.reset();
    m_environment.reset();
    QVERIFY2(m_service.stop(), qPrintable(m_service.errorText()));
}

std::unique_ptr<ControllerOutcome> RecipeImpactFlowTest::call(const std::function<void(Controller&)>& operation)
{
    return ControllerOutcome::of(operation);
}

QList<Marker> RecipeImpactFlowTest::savedRecipe(const Patient& patient, const Record& record)
{
    return Recipe::fromJson(call([&](Controller& c) { c.getRecipe(patient, record); })->bytes).markers();
}

ViewReceipt* RecipeImpactFlowTest::openRecipe(const QString& name)
{
    m_card = m_driver->openCard(name);
    if (!m_card)
        return nullptr;
    MainWindowDriver::tick(m_card, {0});
    m_record = m_card->findChild<RecordModel*>()->checkedRecords().value(0);
    return reopenRecipe();
}

ViewReceipt* RecipeImpactFlowTest::reopenRecipe()
{
    auto* view = qobject_cast<ViewReceipt*>(m_driver->openFromCard(m_card, QStringLiteral("buttonReceipt")));
    const bool loaded = view && QTest::qWaitFor([&] {
                            return child<QComboBox>(*view, "comboBoxStorages")->count() > 0 && overlayGone(*view);
                        });
    return loaded ? view : nullptr;
}

ViewImpact* RecipeImpactFlowTest::openImpact(ViewReceipt* recipe)
{
    child<QPushButton>(*recipe, "buttonReceipt")->click();
    return qobject_cast<ViewImpact*>(m_driver->window()->currentScreen());
}

void RecipeImpactFlowTest::seededRecipeTickedAndSaved()
{
    ViewReceipt* view = openRecipe(firstSeeded);
    QVERIFY(view);
    const QStringList seeded = idsOf(savedRecipe());
    QCOMPARE(seeded.size(), 3);
    QCOMPARE(idsOf(view->recipe().markers()), seeded);
    QCOMPARE(rowIds(view), seeded); // shown at once, before any analysis

    // The first seeded marker is the first of the first storage's analysis.
    child<QPushButton>(*view, "buttonAnalyse")->click();
    QTRY_VERIFY(view->model()->rowCount() > 2 && overlayGone(*view));
    QCOMPARE(view->model()->markerAt(0).id(), seeded.first());
    QCOMPARE(view->model()->index(0, 0).data(Qt::CheckStateRole), QVariant(Qt::Checked));
    const QString added = view->model()->markerAt(2).id();
    view->model()->setData(view->model()->index(2, 0), Qt::Checked, Qt::CheckStateRole);
    view->model()->setData(view->model()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    view->model()->setData(view->model()->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    const QStringList expected{seeded.at(1), seeded.at(2), added, seeded.at(0)};
    QCOMPARE(idsOf(view->recipe().markers()), expected);

    // Saved on the way back to the card, and shown when the recipe opens again.
    MessageBoxRecorder boxes(QMessageBox::Yes);
    child<QPushButton>(*view, "buttonBack")->click();
    QTRY_COMPARE(m_driver->window()->currentScreen(), m_card);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(idsOf(savedRecipe()), expected);
    view = reopenRecipe();
    QVERIFY(view);
    QCOMPARE(idsOf(view->recipe().markers()), expected);
}

void RecipeImpactFlowTest::impactOrderRemovalAndDownload()
{
    ViewReceipt* recipeView = openRecipe(firstSeeded);
    QVERIFY(recipeView);
    const QList<Marker> recipe = recipeView->recipe().markers();
    QVERIFY(recipe.size() >= 3);
    QCOMPARE(idsOf(recipe), idsOf(savedRecipe()));
    ViewImpact* view = openImpact(recipeView);
    QVERIFY(view);
    QCOMPARE(child<QComboBox>(*view, "comboBoxTarget")->findData(QVariant::fromValue(ViewImpact::Box)), -1);
    QSignalSpy removed(view, &ViewImpact::onMarkerRemove);
    auto* table = child<QTableView>(*view, "tableView");
    QWidget* window = m_driver->window();
    // The title column stretched to the screen: the pictures are where they stay.
    QTRY_COMPARE(table->horizontalHeader()->length(), table->viewport()->width());
    const auto click = [&](int row, int column) {
        const QRect cell = table->visualRect(view->model()->index(row, column));
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, table->viewport()->mapTo(window, cell.center()));
    };
    click(0, ImpactModel::DownColumn);
    click(2, ImpactModel::RemoveColumn);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.first().first().toString(), recipe.at(2).id());
    const QList<Marker> impact = view->model()->markers();
    QCOMPARE(idsOf(impact).mid(0, 2), (QStringList{recipe.at(1).id(), recipe.at(0).id()}));
    // The recipe screen below lost the removed marker too.
    QVERIFY(!idsOf(recipeView->recipe().markers()).contains(recipe.at(2).id()));

    // One minute per marker: each block 20 times, in the impact's order.
    auto* targets = child<QComboBox>(*view, "comboBoxTarget");
    targets->setCurrentIndex(targets->findData(QVariant::fromValue(ViewImpact::Download)));
    child<QSpinBox>(*view, "spinBoxDuration")->setValue(1);
    SaveFileAnswer saveAs(m_workingDirectory->filePath("impact")); // the suffix is added
    MessageBoxRecorder boxes;
    child<QPushButton>(*view, "buttonStart")->click();
    QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>(*view, "buttonStart")->isEnabled() && !view->wavSaver(), 20000);
    QCOMPARE(boxes.texts(), QStringList());
    // Where it went is said in passing in the status bar.
    QCOMPARE(m_driver->window()->statusBar()->currentMessage(),
             QCoreApplication::translate("ImpactDownload", "Text.wavSaved")
                 .arg(QDir::toNativeSeparators(m_workingDirectory->filePath("impact.wav"))));

    const QList<QByteArray> blocks = decodeAudioBlocks(
        call([&](Controller& c) { c.createRecipe(m_card->patient(), m_record, impact, 1, QString()); })->bytes);
    QCOMPARE(blocks.size(), impact.size());
    const QByteArray samples = ImpactAudio::assemble(blocks, 20).samples();
    QCOMPARE(saveAs.questions.size(), 1);
    QFile file(m_workingDirectory->filePath("impact.wav"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.size(), 44 + samples.size());
    QCOMPARE(file.read(44), wavHeader(samples.size()));
    QVERIFY(file.read(samples.size()) == samples);
    // The impact's order is the recipe's now.
    QCOMPARE(idsOf(savedRecipe()), idsOf(impact));
}

// The impact starts with its own order, which the service then holds: back
// on the recipe screen, that order is the recipe's and the table's.
void RecipeImpactFlowTest::recipeShowsTheOrderTheImpactSaved()
{
    ViewReceipt* recipeView = openRecipe(firstSeeded);
    QVERIFY(recipeView && !recipeView->isChanged());
    ViewImpact* view = openImpact(recipeView);
    QVERIFY(view);
    view->model()->moveMarker(0, 1);
    const QStringList impactOrder = idsOf(view->model()->markers());
    QVERIFY(impactOrder != idsOf(recipeView->recipe().markers()));
    auto* targets = child<QComboBox>(*view, "comboBoxTarget");
    targets->setCurrentIndex(targets->findData(QVariant::fromValue(ViewImpact::Download)));
    child<QSpinBox>(*view, "spinBoxDuration")->setValue(1);
    SaveFileAnswer saveAs(m_workingDirectory->filePath("order"));
    child<QPushButton>(*view, "buttonStart")->click();
    QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>(*view, "buttonStart")->isEnabled() && !view->wavSaver(), 20000);
    QCOMPARE(idsOf(savedRecipe()), impactOrder);

    child<QPushButton>(*view, "buttonBack")->click();
    QTRY_COMPARE(m_driver->window()->currentScreen(), recipeView);
    QTRY_COMPARE(idsOf(recipeView->recipe().markers()), impactOrder);
    QCOMPARE(rowIds(recipeView), impactOrder);
    QVERIFY(!recipeView->isChanged());
}

void RecipeImpactFlowTest::boxSendsTheRecipeToTheDevice()
{
    ViewReceipt* recipeView = openRecipe(withDevice);
    QVERIFY(recipeView);
    const Patient maria = m_card->patient();
    QCOMPARE(maria.deviceState(), DeviceState::NoCommand);
    if (recipeView->recipe().isEmpty()) {
        child<QPushButton>(*recipeView, "buttonAnalyse")->click();
        QTRY_VERIFY(recipeView->model()->rowCount() > 0 && overlayGone(*recipeView));
        recipeView->model()->setData(recipeView->model()->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    }
    ViewImpact* view = openImpact(recipeView);
    QVERIFY(view);
    auto* targets = child<QComboBox>(*view, "comboBoxTarget");
    targets->setCurrentIndex(targets->findData(QVariant::fromValue(ViewImpact::Box)));
    QVERIFY(targets->currentIndex() >= 0);
    MessageBoxRecorder boxes;
    child<QPushButton>(*view, "buttonStart")->click();
    QTRY_COMPARE(boxes.texts(), QStringList{"Success: The recipe was sent to the patient's device."});

    const auto page = call([&](Controller& c) { c.filterPatients("name", "asc", 100, 0, "name", maria.name()); });
    const Patient stored(QJsonDocument::fromJson(page->bytes).object().value("data").toArray().first().toObject());
    QCOMPARE(stored.command(), QStringLiteral("RECIPE"));
    QCOMPARE(stored.deviceState(), DeviceState::RecipeInProgress);

    // Back to the card, which shows the device's new command.
    child<QPushButton>(*view, "buttonPatientCard")->click();
    QTRY_COMPARE(m_driver->window()->currentScreen(), m_card);
    QCOMPARE(m_card->patient().command(), QStringLiteral("RECIPE"));
    QCOMPARE(m_card->patient().deviceState(), DeviceState::RecipeInProgress);
}

QTEST_MAIN(RecipeImpactFlowTest)
#include "tst_recipeimpactflow.moc"
