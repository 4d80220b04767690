// The main window hosting the player: one at a time, its entry in the status
// bar, and what every way of ending it leaves behind. The audio output and the
// keep-awake are driven by the test; the service is a scripted stand-in.
#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/PlayerStatusEntry.h"
#include "audio/DialogPlayer.h"
#include "support/FakeKeepAwake.h"
#include "support/FakePatientService.h"
#include "support/FakePlaybackOutput.h"
#include "support/MessageBoxRecorder.h"
#include "support/ServiceTestEnvironment.h"
#include "support/SignInDriver.h"
#include "support/WorkingDirectory.h"
#include "views/ViewPatients.h"

#include <QApplication>
#include <QBuffer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QtTest>

#include <memory>

namespace {

constexpr int bytesPerSecond = 22050;
const QByteArray tenMinutes(600 * bytesPerSecond, char(127));

void play(MainWindow& window, const QByteArray& samples, const QString& title)
{
    QVERIFY(QMetaObject::invokeMethod(&window, "onPlayerInit", Q_ARG(QByteArray, samples), Q_ARG(QString, title)));
}

QPushButton* statusEntry(MainWindow& window)
{
    return window.statusBar()->findChild<QPushButton*>(QStringLiteral("buttonPlayer"));
}

QList<bool> states(const QSignalSpy& spy)
{
    QList<bool> values;
    for (const QList<QVariant>& arguments : spy)
        values << arguments.first().toBool();
    return values;
}

enum class Ending
{
    RanOut,
    Stop,
    CloseWhileStopped,
    NoDevice,
    DeviceGoneWhileHidden
};

} // namespace

class PlayerHostingTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void playerStartsWithItsEntry();
    void secondRequestIsDropped();
    void nothingToPlayIsSaid();
    void entryShowsOnlyWhilePlayingOrPaused();
    void entryBringsTheHiddenPlayerBack();
    void everyEndingFreesTheWindow_data();
    void everyEndingFreesTheWindow();
    void windowGoesWhilePlaying_data();
    void windowGoesWhilePlaying();

private:
    std::unique_ptr<MainWindow> signedInWindow();

    std::unique_ptr<ScopedWorkingDirectory> m_folder;
    std::unique_ptr<FakePatientService> m_service;
    std::unique_ptr<ServiceTestEnvironment> m_environment;
    std::unique_ptr<ScopedFakePlaybackOutputs> m_outputs;
    std::unique_ptr<ScopedFakeKeepAwake> m_keepAwake;
};

void PlayerHostingTest::init()
{
    m_folder = std::make_unique<ScopedWorkingDirectory>();
    m_service = std::make_unique<FakePatientService>();
    m_service->setPage(1, {FakePatientService::patient(QStringLiteral("p1"), QStringLiteral("Anna"))});
    m_environment = std::make_unique<ServiceTestEnvironment>(m_service->baseUrl());
    m_outputs = std::make_unique<ScopedFakePlaybackOutputs>();
    m_keepAwake = std::make_unique<ScopedFakeKeepAwake>();
}

void PlayerHostingTest::cleanup()
{
    m_keepAwake.reset();
    m_outputs.reset();
    m_environment.reset();
    m_service.reset();
    m_folder.reset();
}

std::unique_ptr<MainWindow> PlayerHostingTest::signedInWindow()
{
    return signedInMainWindow(QStringLiteral("demo"), QStringLiteral("secret"));
}

void PlayerHostingTest::playerStartsWithItsEntry()
{
    const auto window = signedInWindow();
    QSignalSpy playerStates(window.get(), &MainWindow::onPlayerState);
    QVERIFY(!statusEntry(*window));

    play(*window, tenMinutes, QStringLiteral("Anna Smith"));
    QCOMPARE(states(playerStates), QList<bool>{true});
    auto* player = window->findChild<DialogPlayer*>();
    QVERIFY(player);
    QCOMPARE(player->parentWidget(), window.get());
    QVERIFY(player->isVisible());
    QCOMPARE(player->title(), QStringLiteral("Anna Smith"));
    // The samples came through the window without a copy.
    const auto* buffer = qobject_cast<QBuffer*>(m_outputs->last()->source());
    QVERIFY(buffer);
    QCOMPARE(static_cast<const void*>(buffer->data().constData()), static_cast<const void*>(tenMinutes.constData()));

    QPushButton* entry = statusEntry(*window);
    QVERIFY(entry);
    QVERIFY(entry->isFlat());
    QVERIFY(entry->isVisible());
    QCOMPARE(entry->text(), QStringLiteral("Anna Smith [00:10:00]"));
    m_outputs->last()->setProcessedUSecs(65 * 1000000LL);
    QTRY_COMPARE(entry->text(), QStringLiteral("Anna Smith [00:08:55]"));
}

void PlayerHostingTest::secondRequestIsDropped()
{
    const auto window = signedInWindow();
    QSignalSpy playerStates(window.get(), &MainWindow::onPlayerState);
    play(*window, tenMinutes, QStringLiteral("Anna"));
    play(*window, tenMinutes, QStringLiteral("Boris"));

    QCOMPARE(window->findChildren<DialogPlayer*>().size(), 1);
    QCOMPARE(window->findChild<DialogPlayer*>()->title(), QStringLiteral("Anna"));
    QCOMPARE(m_outputs->created(), 1);
    QCOMPARE(window->statusBar()->findChildren<QPushButton*>(QStringLiteral("buttonPlayer")).size(), 1);
    QCOMPARE(states(playerStates), QList<bool>{true});
}

void PlayerHostingTest::nothingToPlayIsSaid()
{
    const auto window = signedInWindow();
    QSignalSpy playerStates(window.get(), &MainWindow::onPlayerState);
    MessageBoxRecorder boxes;
    play(*window, QByteArray(), QStringLiteral("Anna"));

    // No player, no "finished" for an impact that never played.
    QCOMPARE(m_outputs->created(), 0);
    QVERIFY(playerStates.isEmpty());
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().text, QCoreApplication::translate("MainWindow", "Text.nothingToPlay"));
}

void PlayerHostingTest::entryShowsOnlyWhilePlayingOrPaused()
{
    const auto window = signedInWindow();
    play(*window, tenMinutes, QStringLiteral("Anna"));
    QPushButton* entry = statusEntry(*window);
    FakePlaybackOutput* output = m_outputs->last();
    output->setProcessedUSecs(65 * 1000000LL);
    QTRY_COMPARE(entry->text(), QStringLiteral("Anna [00:08:55]"));

    // Stopped by itself (the device went away): nothing to come back to.
    output->setState(QAudio::StoppedState);
    QTRY_VERIFY(!entry->isVisible());
    QCOMPARE(entry->text(), QString());

    output->setState(QAudio::SuspendedState);
    QTRY_VERIFY(entry->isVisible());
    QTRY_COMPARE(entry->text(), QStringLiteral("Anna [00:08:55]"));

    output->setState(QAudio::InterruptedState);
    QTRY_VERIFY(!entry->isVisible());
    QCOMPARE(entry->text(), QString());
}

void PlayerHostingTest::entryBringsTheHiddenPlayerBack()
{
    const auto window = signedInWindow();
    QSignalSpy playerStates(window.get(), &MainWindow::onPlayerState);
    play(*window, tenMinutes, QStringLiteral("Anna"));
    auto* player = window->findChild<DialogPlayer*>();
    m_outputs->last()->setState(QAudio::SuspendedState);

    // Closed while paused: only hidden, the entry stays and counts on.
    QVERIFY(!player->close());
    QVERIFY(!player->isVisible());
    QCOMPARE(states(playerStates), QList<bool>{true});
    QPushButton* entry = statusEntry(*window);
    QTRY_COMPARE(entry->text(), QStringLiteral("Anna [00:10:00]"));
    QVERIFY(entry->isVisible());

    entry->click();
    QVERIFY(player->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), player);
}

void PlayerHostingTest::everyEndingFreesTheWindow_data()
{
    QTest::addColumn<int>("ending");
    QTest::addColumn<int>("boxIcon"); // NoIcon: no message
    QTest::addColumn<QString>("boxContext");
    QTest::addColumn<QString>("boxKey");

    QTest::newRow("samples ran out") << int(Ending::RanOut) << int(QMessageBox::Information) << "MainWindow"
                                     << "Text.impactFinished";
    QTest::newRow("stop") << int(Ending::Stop) << int(QMessageBox::NoIcon) << QString() << QString();
    QTest::newRow("closed while stopped")
        << int(Ending::CloseWhileStopped) << int(QMessageBox::NoIcon) << QString() << QString();
    QTest::newRow("no output device") << int(Ending::NoDevice) << int(QMessageBox::Critical) << "DialogPlayer"
                                      << "Text.noAudioOutput";
    QTest::newRow("device gone while hidden")
        << int(Ending::DeviceGoneWhileHidden) << int(QMessageBox::Critical) << "DialogPlayer"
        << "Text.playbackStopped";
}

void PlayerHostingTest::everyEndingFreesTheWindow()
{
    QFETCH(int, ending);
    QFETCH(int, boxIcon);
    QFETCH(QString, boxContext);
    QFETCH(QString, boxKey);
    const auto window = signedInWindow();
    QSignalSpy playerStates(window.get(), &MainWindow::onPlayerState);
    MessageBoxRecorder boxes;
    if (Ending(ending) == Ending::NoDevice)
        m_outputs->setStart(FakePlaybackOutput::Start::FailsQuietly);

    play(*window, tenMinutes, QStringLiteral("Anna"));
    QPointer<DialogPlayer> player = window->findChild<DialogPlayer*>();
    QPointer<QPushButton> entry = statusEntry(*window);
    QVERIFY(player && entry);
    switch (Ending(ending)) {
    case Ending::RanOut:
        m_outputs->last()->setState(QAudio::IdleState);
        break;
    case Ending::Stop:
        player->findChild<QPushButton*>(QStringLiteral("buttonStop"))->click();
        break;
    case Ending::CloseWhileStopped:
        m_outputs->last()->setState(QAudio::StoppedState);
        QVERIFY(player->close());
        break;
    case Ending::NoDevice:
        break;
    case Ending::DeviceGoneWhileHidden:
        QVERIFY(!player->close()); // playing: it only hides
        QVERIFY(player->isHidden());
        m_outputs->last()->setState(QAudio::StoppedState, QAudio::IOError);
        break;
    }

    QTRY_COMPARE(states(playerStates), (QList<bool>{true, false}));
    if (boxIcon == QMessageBox::NoIcon) {
        QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(QLatin1Char('\n'))));
    } else {
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(int(boxes.boxes.first().icon), boxIcon);
        QCOMPARE(boxes.boxes.first().text,
                 QCoreApplication::translate(boxContext.toLatin1().constData(), boxKey.toLatin1().constData()));
    }
    if (Ending(ending) == Ending::RanOut)
        QCOMPARE(boxes.boxes.first().parent, window->currentScreen());
    // Nothing of the player is left.
    QVERIFY(entry.isNull());
    QVERIFY(!window->findChild<PlayerStatusEntry*>());
    QTRY_VERIFY(player.isNull());
    QTRY_COMPARE(m_keepAwake->log().alive, 0);

    // And the next impact may play.
    m_outputs->setStart(FakePlaybackOutput::Start::Plays);
    play(*window, tenMinutes, QStringLiteral("Boris"));
    QCOMPARE(states(playerStates), (QList<bool>{true, false, true}));
    QVERIFY(window->findChild<DialogPlayer*>());
    QCOMPARE(window->findChild<DialogPlayer*>()->title(), QStringLiteral("Boris"));
    QVERIFY(statusEntry(*window));
}

void PlayerHostingTest::windowGoesWhilePlaying_data()
{
    QTest::addColumn<bool>("ranOut");
    QTest::newRow("playing") << false;
    QTest::newRow("ran out, end not yet handled") << true;
}

// The program ends while a player plays. The sound server's output runs the
// event loop while it is deleted: the window must not be reached half gone,
// and an end still on its way is not reported any more.
void PlayerHostingTest::windowGoesWhilePlaying()
{
    QFETCH(bool, ranOut);
    auto window = signedInWindow();
    MessageBoxRecorder boxes;
    play(*window, tenMinutes, QStringLiteral("Anna"));
    int callsWhileDeleted = 0;
    // Longer than a refresh of the entry.
    m_outputs->last()->runEventsWhenDeleted(1200, &callsWhileDeleted);
    if (ranOut)
        m_outputs->last()->setState(QAudio::IdleState);

    QSignalSpy playerStates(window.get(), &MainWindow::onPlayerState);
    window.reset();
    QCOMPARE(callsWhileDeleted, 0);
    QCOMPARE(playerStates.count(), 0);
    QVERIFY2(boxes.boxes.isEmpty(), qPrintable(boxes.texts().join(QLatin1Char('\n'))));
    QCOMPARE(m_keepAwake->log().alive, 0);
}

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    setupApplication(application);
    PlayerHostingTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_playerhosting.moc"
