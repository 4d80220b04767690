// The real window against the local service: every screen wears the one
// heading in the one place, naming the way back alike, in either language;
// and every save says where it saved in the status bar, with no box to
// dismiss.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "data/RecordModel.h"
#include "support/LocalServiceProcess.h"
#include "support/MainWindowDriver.h"
#include "support/MessageBoxRecorder.h"
#include "support/RecipeFixtures.h"
#include "support/SaveFileAnswer.h"
#include "support/ScreenTour.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"
#include "views/ScreenHeading.h"
#include "views/ViewImpact.h"
#include "views/ViewPatient.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QtTest>

#include <memory>

using namespace RecipeFixtures;

namespace {

const QString patientWithRecords = QStringLiteral("Benjamin Carter");
const QString patientWithRecipe = QStringLiteral("Anna Schmidt");

// What a practitioner sees of a screen's heading.
struct SeenHeading
{
    int headings = 0;
    QPoint place;      // of the heading, within the screen
    QPoint titlePlace; // of the title, within the screen
    QString title;
    QString listCrumb; // empty: no crumb back to the list
    QString cardCrumb; // empty: no crumb back to the card
};

QString textOf(QWidget* parent, const char* name)
{
    auto* button = parent->findChild<QPushButton*>(QLatin1String(name));
    return button ? button->text() : QString();
}

SeenHeading seeHeading(QWidget* screen)
{
    SeenHeading seen;
    const QList<ScreenHeading*> headings = screen->findChildren<ScreenHeading*>();
    seen.headings = headings.size();
    if (headings.isEmpty())
        return seen;
    ScreenHeading* heading = headings.first();
    auto* title = heading->findChild<QLabel*>(QStringLiteral("labelTitle"));
    seen.place = heading->mapTo(screen, QPoint(0, 0));
    seen.titlePlace = title->mapTo(screen, QPoint(0, 0));
    seen.title = title->text();
    if (QPushButton* list = heading->crumb(ScreenHeading::PatientsList))
        seen.listCrumb = list->text();
    if (QPushButton* card = heading->crumb(ScreenHeading::PatientCard))
        seen.cardCrumb = card->text();
    return seen;
}

enum class Save
{
    Spreadsheet,
    ImpactWav,
    RecoveryHistory,
};

} // namespace

Q_DECLARE_METATYPE(Save)

class ScreenHeadingsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyScreenWearsTheOneHeading_data();
    void everyScreenWearsTheOneHeading();
    void savesSayWhereInTheStatusBar_data();
    void savesSayWhereInTheStatusBar();

private:
    LocalServiceProcess m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ScopedWorkingDirectory> m_workingDirectory;
};

void ScreenHeadingsTest::initTestCase()
{
    setupApplication(*qApp);
    m_workingDirectory = std::make_unique<ScopedWorkingDirectory>();
    QVERIFY2(m_service.start(), qPrintable(m_service.errorText()));
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service.baseUrl(), 20000);
}

void ScreenHeadingsTest::cleanupTestCase()
{
    m_environment.reset();
    QVERIFY2(m_service.stop(), qPrintable(m_service.errorText()));
}

void ScreenHeadingsTest::everyScreenWearsTheOneHeading_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("en_US");
    QTest::newRow("Russian") << QStringLiteral("ru_RU");
}

void ScreenHeadingsTest::everyScreenWearsTheOneHeading()
{
    QFETCH(QString, language);

    const QStringList screens{"patients", "card", "analysis", "comparative", "recovery-history", "recipe", "impact"};
    QMap<QString, SeenHeading> seen;
    ScreenTour tour(language, [&](const QString& name, QWidget* shown) {
        // A screen is shown in its window, with the screens below it in the stack.
        auto* window = qobject_cast<MainWindow*>(shown);
        if (screens.contains(name) && window)
            seen[name] = seeHeading(window->currentScreen());
    });
    QVERIFY2(tour.run(), qPrintable(tour.errorText()));
    QCOMPARE(seen.keys().size(), screens.size());

    const SeenHeading list = seen.value(QStringLiteral("patients"));
    QSet<QString> cardWordings;
    for (const QString& screen : screens) {
        const SeenHeading heading = seen.value(screen);
        const QByteArray where =
            screen.toUtf8() + ": " + heading.listCrumb.toUtf8() + " / " + heading.cardCrumb.toUtf8();
        QVERIFY2(heading.headings == 1, where);
        QVERIFY2(heading.place == list.place && heading.titlePlace == list.titlePlace, where);
        QVERIFY2(!heading.title.isEmpty(), where);
        if (screen == QLatin1String("patients") || screen == QLatin1String("card"))
            continue;
        // The way back names the list as the list names itself, and the card
        // in one wording with the patient's name.
        QVERIFY2(heading.listCrumb == list.title, where);
        const QString patient = screen == QLatin1String("recipe") || screen == QLatin1String("impact")
                                    ? patientWithRecipe
                                    : patientWithRecords;
        QVERIFY2(heading.cardCrumb.contains(patient), where);
        cardWordings.insert(QString(heading.cardCrumb).remove(patient));
    }
    QCOMPARE(cardWordings.size(), 1);
    QCOMPARE(seen.value(QStringLiteral("card")).listCrumb, list.title);
}

void ScreenHeadingsTest::savesSayWhereInTheStatusBar_data()
{
    QTest::addColumn<Save>("save");
    QTest::addColumn<QString>("context");  // of the note's translation key
    QTest::addColumn<QString>("key");      // of the note
    QTest::addColumn<QString>("fileName"); // the note's argument is this file in the test's folder; empty: the patient

    QTest::newRow("spreadsheet") << Save::Spreadsheet << "PatientExport"
                                 << "Text.exportSaved"
                                 << "carter.xlsx";
    QTest::newRow("impact WAV") << Save::ImpactWav << "ImpactDownload"
                                << "Text.wavSaved"
                                << "schmidt.wav";
    QTest::newRow("recovery history") << Save::RecoveryHistory << "ViewRecoveryHistory"
                                      << "Text.historySaved" << QString();
}

void ScreenHeadingsTest::savesSayWhereInTheStatusBar()
{
    QFETCH(Save, save);
    QFETCH(QString, context);
    QFETCH(QString, key);
    QFETCH(QString, fileName);

    MainWindowDriver driver(QStringLiteral("demo"), QStringLiteral("demo"));
    QVERIFY(driver.window());
    const QString path = m_workingDirectory->filePath(fileName);
    // The name is typed without its suffix: the note names the file written.
    SaveFileAnswer answer(QFileInfo(path).path() + QLatin1Char('/') + QFileInfo(path).completeBaseName());
    MessageBoxRecorder boxes;
    const QString patient = save == Save::ImpactWav ? patientWithRecipe : patientWithRecords;
    ViewPatient* card = driver.openCard(patient);
    QVERIFY(card);

    switch (save) {
    case Save::Spreadsheet:
        child<QPushButton>(*card, "buttonExcelExport")->click();
        break;
    case Save::ImpactWav: {
        MainWindowDriver::tick(card, {0});
        QWidget* recipe = driver.openFromCard(card, QStringLiteral("buttonReceipt"));
        QVERIFY(recipe);
        QTRY_VERIFY(child<QComboBox>(*recipe, "comboBoxStorages")->count() > 0 && overlayGone(*recipe));
        child<QPushButton>(*recipe, "buttonReceipt")->click();
        auto* impact = qobject_cast<ViewImpact*>(driver.window()->currentScreen());
        QVERIFY(impact);
        auto* targets = child<QComboBox>(*impact, "comboBoxTarget");
        targets->setCurrentIndex(targets->findData(QVariant::fromValue(ViewImpact::Download)));
        child<QSpinBox>(*impact, "spinBoxDuration")->setValue(1);
        child<QPushButton>(*impact, "buttonStart")->click();
        break;
    }
    case Save::RecoveryHistory: {
        MainWindowDriver::tick(card, {0, 1});
        QWidget* history = driver.openFromCard(card, QStringLiteral("buttonRecoveryHistory"));
        QVERIFY(history);
        QTRY_VERIFY(overlayGone(*history));
        child<QPushButton>(*history, "buttonSave")->click();
        break;
    }
    }

    const QString argument = fileName.isEmpty() ? patient : QDir::toNativeSeparators(path);
    const QString note = QCoreApplication::translate(qPrintable(context), qPrintable(key)).arg(argument);
    QTRY_COMPARE_WITH_TIMEOUT(driver.window()->statusBar()->currentMessage(), note, 20000);
    QCOMPARE(boxes.texts(), QStringList());
    QVERIFY(fileName.isEmpty() || QFileInfo(path).size() > 0);
}

QTEST_MAIN(ScreenHeadingsTest)
#include "tst_screenheadings.moc"
