// Peak memory of the player holding an impact of about 800 MB, against the
// bytes of its samples. The player plays through a private sound server whose
// sink looks like the sensor, so the real audio output pulls the samples.
#include "BenchFigures.h"
#include "app/Application.h"
#include "audio/DialogPlayer.h"
#include "audio/ImpactAudio.h"
#include "support/PulseAudioSandbox.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <cstdio>

namespace {

constexpr double goal = 1.1;
constexpr int blockSize = 65709;
constexpr int blockCount = 10;
constexpr int repetitions = 1208;
constexpr int playingMilliseconds = 2500;

// Plays for a while, then stops; whether the output really played.
bool playFor(DialogPlayer& player, int milliseconds)
{
    QTest::qWait(milliseconds);
    const bool played = player.outputState() == QAudio::ActiveState;
    player.onStop();
    return played;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    PulseAudioSandbox sandbox;
    const bool sound = sandbox.start();
    QApplication app(argc, argv);
    setupApplication(app);
    initResources();
    std::printf("player memory: %s\n",
                sound ? "playing into a private sound server's sensor sink"
                      : qPrintable(QStringLiteral("no sound server (") + sandbox.whyNot() + QStringLiteral(")")));

    const QList<QByteArray> blocks = pseudoRandomBlocks(blockCount, blockSize, 4242);
    {
        // Loads the audio back end and the dialog's pictures before measuring.
        DialogPlayer warmUp(nullptr, blocks.first(), QStringLiteral("Warm-up"));
        playFor(warmUp, 300);
    }
    QTest::qWait(200);
    const qint64 idle = statusBytes("VmRSS");
    if (!resetPeak()) {
        std::fprintf(stderr, "can't reset the peak memory figure (/proc/self/clear_refs)\n");
        return 1;
    }

    ImpactAudio impact = ImpactAudio::assemble(blocks, repetitions);
    if (!impact.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(impact.errorText()));
        return 1;
    }
    const QByteArray samples = impact.takeSamples();
    bool played = false;
    {
        DialogPlayer player(nullptr, samples, QStringLiteral("Benchmark patient"));
        played = playFor(player, playingMilliseconds);
    }
    const qint64 peak = statusBytes("VmHWM");
    const qint64 used = peak - idle;
    const double ratio = double(used) / double(samples.size());
    std::printf("samples            %10.1f MB\n", double(samples.size()) / 1e6);
    std::printf("idle footprint     %10.1f MB\n", double(idle) / 1e6);
    std::printf("peak footprint     %10.1f MB\n", double(peak) / 1e6);
    std::printf("player (peak-idle) %10.1f MB  (project)\n", double(used) / 1e6);
    std::printf("sample bytes       %10.1f MB  (baseline)\n", double(samples.size()) / 1e6);
    std::printf("ratio              %10.3f     (goal <= %.1f)%s\n", ratio, goal,
                played ? "" : "  [the output was not playing]");
    return 0;
}
