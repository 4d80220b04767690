// The real window against the local service, walked in either language:
// every screen wears the one heading in the one place, and names the way
// back alike.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "support/LocalServiceProcess.h"
#include "support/ScreenTour.h"
#include "support/ServiceTestEnvironment.h"
#include "support/WorkingDirectory.h"
#include "views/ScreenHeading.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

// What a practitioner sees of a screen's heading; nothing without exactly one.
struct SeenHeading
{
    QPoint titlePlace; // within the screen
    QString title;
    QString listCrumb;
    QString cardCrumb;
};

SeenHeading seeHeading(QWidget* screen)
{
    SeenHeading seen;
    const QList<ScreenHeading*> headings = screen->findChildren<ScreenHeading*>();
    if (headings.size() != 1)
        return seen;
    ScreenHeading* heading = headings.first();
    auto* title = heading->findChild<QLabel*>(QStringLiteral("labelTitle"));
    seen.titlePlace = title->mapTo(screen, QPoint());
    seen.title = title->text();
    const auto crumbText = [heading](ScreenHeading::Crumb crumb) {
        return heading->crumb(crumb) ? heading->crumb(crumb)->text() : QString();
    };
    seen.listCrumb = crumbText(ScreenHeading::PatientsList);
    seen.cardCrumb = crumbText(ScreenHeading::PatientCard);
    return seen;
}

} // namespace

class ScreenHeadingsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setupApplication(*qApp); }
    void everyScreenWearsTheOneHeading_data();
    void everyScreenWearsTheOneHeading();
};

void ScreenHeadingsTest::everyScreenWearsTheOneHeading_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("en_US");
    QTest::newRow("Russian") << QStringLiteral("ru_RU");
}

void ScreenHeadingsTest::everyScreenWearsTheOneHeading()
{
    QFETCH(QString, language);
    ScopedWorkingDirectory workingDirectory;
    LocalServiceProcess service;
    QVERIFY2(service.start(), qPrintable(service.errorText()));
    ServiceTestEnvironment environment(service.baseUrl(), 20000);

    QMap<QString, SeenHeading> seen;
    ScreenTour tour(language, [&](const QString& name, QWidget* shown) {
        // A screen is visited in its window, a dialog on its own.
        if (auto* window = qobject_cast<MainWindow*>(shown))
            seen[name] = seeHeading(window->currentScreen());
    });
    QVERIFY2(tour.run(), qPrintable(tour.errorText()));
    QCOMPARE(seen.size(), 7); // the list, the card and the five screens above it

    const SeenHeading list = seen.value(QStringLiteral("patients"));
    QSet<QString> cardWordings;
    for (auto screen = seen.cbegin(); screen != seen.cend(); ++screen) {
        const QByteArray where =
            screen.key().toUtf8() + ": " + screen->listCrumb.toUtf8() + " / " + screen->cardCrumb.toUtf8();
        QVERIFY2(!screen->title.isEmpty() && screen->titlePlace == list.titlePlace, where);
        if (screen.key() == QLatin1String("patients"))
            continue;
        // The way back names the list as the list names itself, and the card
        // in one wording with the patient's name.
        QVERIFY2(screen->listCrumb == list.title, where);
        if (screen.key() == QLatin1String("card"))
            continue;
        const bool ofRecipe = screen.key() == QLatin1String("recipe") || screen.key() == QLatin1String("impact");
        const QString patient = ofRecipe ? QStringLiteral("Anna Schmidt") : QStringLiteral("Benjamin Carter");
        QVERIFY2(screen->cardCrumb.contains(patient), where);
        cardWordings.insert(QString(screen->cardCrumb).remove(patient));
    }
    QCOMPARE(cardWordings.size(), 1);
}

QTEST_MAIN(ScreenHeadingsTest)
#include "tst_screenheadings.moc"
