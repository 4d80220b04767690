// Windows' keep-awake against the system's own call: under Windows (or wine)
// SetThreadExecutionState of kernel32.dll, elsewhere a stand-in library with
// the same function. Both keep the state they were last given, which the test
// reads back from the library as the player left it.
#include "audio/DialogPlayer.h"
#include "audio/WindowsKeepAwake.h"
#include "support/FakePlaybackOutput.h"

#include <QLibrary>
#include <QScopeGuard>
#include <QtTest>

namespace {

const QString kKernelLibrary = QStringLiteral(SONVERA_KERNEL_LIBRARY);

constexpr unsigned long kContinuous = 0x80000000UL;
constexpr unsigned long kAwake = 0x80000041UL; // continuous, system and away mode required
// What the test puts in before each case, so that "nothing happened" shows.
constexpr unsigned long kUntouched = 0x80000002UL; // continuous, display required

#ifdef Q_OS_WIN
using SetThreadExecutionStateFunction = unsigned long(__stdcall*)(unsigned long);
#else
using SetThreadExecutionStateFunction = unsigned long (*)(unsigned long);
#endif

// The calling thread's execution state, read and set through the library
// itself, which the test keeps loaded.
class ExecutionState
{
public:
    ExecutionState() : m_library(kKernelLibrary)
    {
        if (m_library.load())
            m_call = reinterpret_cast<SetThreadExecutionStateFunction>(m_library.resolve("SetThreadExecutionState"));
    }

    bool available() const { return m_call != nullptr; }
    void set(unsigned long flags) { m_call(flags); }
    // The call answers with the state before it; the state is put back.
    unsigned long current()
    {
        const unsigned long state = m_call(kContinuous);
        m_call(state);
        return state;
    }

private:
    QLibrary m_library;
    SetThreadExecutionStateFunction m_call = nullptr;
};

} // namespace

class WindowsKeepAwakeTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY2(m_state.available(), qPrintable(kKernelLibrary));
        m_state.set(kUntouched);
    }

    void cleanup() { m_state.set(kContinuous); }

    // What each sequence of the player's ticks leaves the thread in.
    void ticks_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<QList<bool>>("ticks");
        QTest::addColumn<unsigned long>("expected");

        QTest::newRow("playback starts") << kKernelLibrary << QList<bool>{true} << kAwake;
        QTest::newRow("renewed while playing") << kKernelLibrary << QList<bool>{true, true, true} << kAwake;
        QTest::newRow("playback ends") << kKernelLibrary << QList<bool>{true, true, false} << kContinuous;
        QTest::newRow("stopped from the start") << kKernelLibrary << QList<bool>{false} << kContinuous;
        QTest::newRow("no such library") << QStringLiteral("sonvera-no-such-library") << QList<bool>{true}
                                         << kUntouched;
        QTest::newRow("library without the function")
            << QStringLiteral(SONVERA_LIBRARY_WITHOUT_POWER_CALL) << QList<bool>{true} << kUntouched;
    }

    void ticks()
    {
        QFETCH(QString, library);
        QFETCH(QList<bool>, ticks);
        QFETCH(unsigned long, expected);

        WindowsKeepAwake keepAwake(library);
        for (const bool playingOrPaused : ticks)
            keepAwake.setAwake(playingOrPaused);
        QCOMPARE(m_state.current(), expected);
    }

    // The player asks for it as soon as sound plays and lets go when the
    // samples run out, through whatever keep-awake the platform gives it.
    void playerHoldsTheMachineAwakeWhilePlaying()
    {
        KeepAwakeFactory::set([] { return std::make_unique<WindowsKeepAwake>(kKernelLibrary); });
        const auto restore = qScopeGuard([] { KeepAwakeFactory::set({}); });
        ScopedFakePlaybackOutputs outputs;
        DialogPlayer player(nullptr, QByteArray(3 * 22050, '\x80'), QStringLiteral("Anna"));
        QSignalSpy finished(&player, &DialogPlayer::onFinish);

        QTRY_COMPARE(m_state.current(), kAwake);
        outputs.last()->setState(QAudio::IdleState);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(m_state.current(), kContinuous);
    }

private:
    ExecutionState m_state;
};

QTEST_MAIN(WindowsKeepAwakeTest)
#include "tst_windowskeepawake.moc"
