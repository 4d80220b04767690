// The length of an impact saved as a WAV file, through the real window
// against the running local service: markers of several frequencies each,
// one minute per marker, and the file plays as long as the impact screen's
// stated total.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "data/ImpactModel.h"
#include "data/ReceiptModel.h"
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
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QtTest>

#include <memory>

using namespace RecipeFixtures;

class ImpactLengthTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void savedImpactLastsTheStatedTotal();

private:
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ScopedWorkingDirectory> m_workingDirectory;
    std::unique_ptr<MainWindowDriver> m_driver;
};

void ImpactLengthTest::initTestCase()
{
    setupApplication(*qApp);
    m_workingDirectory = std::make_unique<ScopedWorkingDirectory>();
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
    m_driver = std::make_unique<MainWindowDriver>(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(m_driver->window());
}

void ImpactLengthTest::cleanupTestCase()
{
    m_driver.reset();
    m_environment.reset();
    QVERIFY2(m_service.stop(), qPrintable(m_service.errorText()));
}

void ImpactLengthTest::savedImpactLastsTheStatedTotal()
{
    // The recipe of the first patient's newest record, with two more markers
    // of several frequencies each.
    ViewPatient* card = m_driver->openCard(QStringLiteral("Anna Schmidt"));
    QVERIFY(card);
    MainWindowDriver::tick(card, {0});
    auto* recipe = qobject_cast<ViewReceipt*>(m_driver->openFromCard(card, QStringLiteral("buttonReceipt")));
    QVERIFY(recipe);
    QTRY_VERIFY(child<QComboBox>(*recipe, "comboBoxStorages")->count() > 0 && overlayGone(*recipe));
    child<QPushButton>(*recipe, "buttonAnalyse")->click();
    QTRY_VERIFY(recipe->model()->rowCount() > 0 && overlayGone(*recipe));
    int added = 0;
    for (int row = 0; row < recipe->model()->rowCount() && added < 2; ++row) {
        const QModelIndex tick = recipe->model()->index(row, 0);
        if (recipe->model()->markerAt(row).amount() >= 2 && tick.data(Qt::CheckStateRole) != Qt::Checked) {
            recipe->model()->setData(tick, Qt::Checked, Qt::CheckStateRole);
            ++added;
        }
    }
    QCOMPARE(added, 2);

    child<QPushButton>(*recipe, "buttonReceipt")->click();
    auto* impact = qobject_cast<ViewImpact*>(m_driver->window()->currentScreen());
    QVERIFY(impact);
    int frequencies = 0;
    for (const Marker& marker : impact->model()->markers())
        frequencies += marker.amount();
    QVERIFY(frequencies > impact->model()->markers().size());

    // One minute per frequency: the screen states the total.
    auto* targets = child<QComboBox>(*impact, "comboBoxTarget");
    targets->setCurrentIndex(targets->findData(QVariant::fromValue(ViewImpact::Download)));
    child<QSpinBox>(*impact, "spinBoxDuration")->setValue(1);
    const QRegularExpressionMatch stated =
        QRegularExpression(QStringLiteral("\\d+")).match(child<QLabel>(*impact, "labelTotal")->text());
    QVERIFY(stated.hasMatch());
    const int statedMinutes = stated.captured().toInt();
    QCOMPARE(statedMinutes, frequencies);

    SaveFileAnswer saveAs(m_workingDirectory->filePath("impact"));
    MessageBoxRecorder boxes;
    child<QPushButton>(*impact, "buttonStart")->click();
    QTRY_VERIFY_WITH_TIMEOUT(child<QPushButton>(*impact, "buttonStart")->isEnabled() && !impact->wavSaver(), 60000);
    QCOMPARE(boxes.texts(), QStringList());

    // Each 2.98 s tone repeated as often as fits in a minute: short of the
    // stated total by less than one tone per frequency.
    const QFileInfo file(m_workingDirectory->filePath("impact.wav"));
    QVERIFY(file.exists());
    const double playedSeconds = double(file.size() - 44) / 22050;
    const double statedSeconds = statedMinutes * 60.0;
    QVERIFY2(playedSeconds <= statedSeconds && statedSeconds - playedSeconds < 2.98 * frequencies,
             qPrintable(
                 QStringLiteral("the file plays %1 s, the screen says %2 min").arg(playedSeconds).arg(statedMinutes)));
}

QTEST_MAIN(ImpactLengthTest)
#include "tst_impactlength.moc"
