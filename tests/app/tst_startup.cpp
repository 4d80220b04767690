#include "app/Application.h"
#include "app/MainWindow.h"
#include "base/Language.h"
#include "support/SignInDriver.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

QString translatedTitle()
{
    return QCoreApplication::translate("MainWindow", "Title.application");
}

// Counts the language-change events that reach one widget: each is one reload
// of the translation.
class LanguageChangeCounter : public QObject
{
public:
    explicit LanguageChangeCounter(QObject* watched) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::LanguageChange)
            ++count;
        return false;
    }
};

QStringList capturedWarnings;

void captureWarning(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        capturedWarnings << message;
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void styleSheetIsLatin1UpToTheFirstNul();
    void missingStyleSheetIsEmpty();
    void setupApplicationSetsIdentityAndLook();
    void styleSheetParsesWithoutWarnings();
    void languageSelection_data();
    void languageSelection();
    void loadTranslationInstallsOnlyWhatLoaded();
    void mainWindowSelectsAndSwitchesLanguages();
    void sameLanguageReloadsNothing();
};

void StartupTest::styleSheetIsLatin1UpToTheFirstNul()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("styles.css"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("QLabel { color: #414141; } /* caf\xe9 */\n") + '\0' + QByteArray("QLabel { color: red; }"));
    file.close();

    QCOMPARE(readStyleSheet(path), QStringLiteral("QLabel { color: #414141; } /* caf\u00e9 */\n"));
}

void StartupTest::missingStyleSheetIsEmpty()
{
    QVERIFY(readStyleSheet(QStringLiteral(":/no-such-styles.css")).isEmpty());
}

void StartupTest::setupApplicationSetsIdentityAndLook()
{
    setupApplication(*qApp);

    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Sonvera"));
    QCOMPARE(QCoreApplication::organizationDomain(), QStringLiteral("Wellness"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("2021.3.0"));
    QVERIFY(!QCoreApplication::organizationName().isEmpty());
    // The compiled-in style sheet is real and really applied.
    QVERIFY(qApp->styleSheet().size() > 4000);
    QCOMPARE(qApp->styleSheet(), readStyleSheet(QStringLiteral(":/styles.css")));
    QVERIFY(QCoreApplication::testAttribute(Qt::AA_DontShowIconsInMenus));
    QVERIFY(QCoreApplication::testAttribute(Qt::AA_UseHighDpiPixmaps));
    QCOMPARE(QApplication::wheelScrollLines(), 1);
    QVERIFY(!QApplication::windowIcon().isNull());
    // Combo boxes find the catalogue records by name.
    QVERIFY(QMetaType::type("Storage") != QMetaType::UnknownType);
    QVERIFY(QMetaType::type("Category") != QMetaType::UnknownType);
}

void StartupTest::styleSheetParsesWithoutWarnings()
{
    // The toolkit parses the application style sheet when it first polishes a
    // widget and only warns about a syntax error; catch that warning here.
    capturedWarnings.clear();
    {
        const QtMessageHandler previous = qInstallMessageHandler(captureWarning);
        const auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });
        setupApplication(*qApp);
        // The sign-in dialog is polished (and its rules parsed) when it shows.
        abandonSignInWhenAsked();
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }
    capturedWarnings = capturedWarnings.filter(QStringLiteral("stylesheet"), Qt::CaseInsensitive);
    QVERIFY2(capturedWarnings.isEmpty(), qPrintable(capturedWarnings.join(QLatin1Char('\n'))));
}

void StartupTest::languageSelection_data()
{
    QTest::addColumn<QString>("requested");
    QTest::addColumn<QString>("selected");

    QTest::newRow("english") << "en_US"
                             << "en_US";
    QTest::newRow("russian") << "ru_RU"
                             << "ru_RU";
    QTest::newRow("unsupported locale") << "de_DE"
                                        << "en_US";
    QTest::newRow("case matters") << "ru_ru"
                                  << "en_US";
    QTest::newRow("language without country") << "ru_"
                                              << "en_US";
    QTest::newRow("C locale") << "C"
                              << "en_US";
    QTest::newRow("empty") << ""
                           << "en_US";
}

void StartupTest::languageSelection()
{
    QFETCH(QString, requested);
    QFETCH(QString, selected);
    QCOMPARE(supportedLanguageOrDefault(requested), selected);
}

void StartupTest::loadTranslationInstallsOnlyWhatLoaded()
{
    QTranslator translator;
    QVERIFY(loadTranslation(translator, QStringLiteral("Translation_ru_RU.qm")));
    QVERIFY(translatedTitle() != QStringLiteral("Title.application"));

    // A file that isn't there takes the earlier translation away: keys show.
    QVERIFY(!loadTranslation(translator, QStringLiteral("Translation_xx_XX.qm")));
    QCOMPARE(translatedTitle(), QStringLiteral("Title.application"));
}

void StartupTest::mainWindowSelectsAndSwitchesLanguages()
{
    abandonSignInWhenAsked();
    MainWindow window;
    window.setLanguage(QStringLiteral("de_DE"));
    QCOMPARE(window.currentLanguage(), QStringLiteral("en_US"));
    QCOMPARE(QLocale().name(), QStringLiteral("en_US"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Sonvera"));

    window.setLanguage(QStringLiteral("ru_RU"));
    QCOMPARE(window.currentLanguage(), QStringLiteral("ru_RU"));
    QCOMPARE(QLocale().name(), QStringLiteral("ru_RU"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Sonvera"));
    QCOMPARE(QCoreApplication::translate("QObject", "Text.no"), QStringLiteral("Нет"));
    // The toolkit's own dialogs follow.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));

    window.setLanguage(QStringLiteral("en_US"));
    QCOMPARE(QCoreApplication::translate("QObject", "Text.no"), QStringLiteral("No"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

void StartupTest::sameLanguageReloadsNothing()
{
    abandonSignInWhenAsked();
    MainWindow window;
    window.setLanguage(QStringLiteral("ru_RU"));
    QCoreApplication::processEvents(); // the toolkit posts the change to the windows
    LanguageChangeCounter counter(&window);
    window.setLanguage(QStringLiteral("ru_RU"));
    QCoreApplication::processEvents();
    QCOMPARE(counter.count, 0);

    window.setLanguage(QStringLiteral("en_US"));
    QCoreApplication::processEvents();
    QVERIFY(counter.count > 0);
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
