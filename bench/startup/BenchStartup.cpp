#include "BenchFigures.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <time.h>
#include <vector>

namespace {

constexpr int runs = 21;
constexpr double goal = 1.3;

qint64 monotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Milliseconds from starting the probe to its first exposed window, or a
// negative number when the probe failed.
double startToFirstWindow(const QString& probe, const QString& workingDirectory)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 started = monotonicNow();
    process.start(probe, QStringList());
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return -1;
    const QByteArray line = process.readAllStandardOutput().trimmed();
    if (!line.startsWith("exposed "))
        return -1;
    return double(line.mid(8).toLongLong() - started) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir workingDirectory; // the program writes its log here
    const QString folder = QCoreApplication::applicationDirPath();
    const QString sonvera = folder + QStringLiteral("/startup_probe_sonvera");
    const QString baseline = folder + QStringLiteral("/startup_probe_baseline");

    // One warm-up each, then alternating runs so that both see the same machine.
    startToFirstWindow(sonvera, workingDirectory.path());
    startToFirstWindow(baseline, workingDirectory.path());
    std::vector<double> sonveraTimes;
    std::vector<double> baselineTimes;
    for (int run = 0; run < runs; ++run) {
        sonveraTimes.push_back(startToFirstWindow(sonvera, workingDirectory.path()));
        baselineTimes.push_back(startToFirstWindow(baseline, workingDirectory.path()));
    }
    if (std::any_of(sonveraTimes.begin(), sonveraTimes.end(), [](double t) { return t < 0; }) ||
        std::any_of(baselineTimes.begin(), baselineTimes.end(), [](double t) { return t < 0; })) {
        std::fprintf(stderr, "startup: a probe did not show a window\n");
        return 1;
    }
    const double ours = median(sonveraTimes);
    const double base = median(baselineTimes);
    const double ratio = ours / base;
    std::printf("startup to first window (offscreen, median of %d): sonvera %.1f ms, baseline %.1f ms, "
                "ratio %.2f (goal <= %.1f)\n",
                runs, ours, base, ratio, goal);
    return 0;
}
