// The WAV download of a 2 GB impact, as the impact screen runs it (a worker
// thread writing through QSaveFile under a progress dialog), against writing
// the same bytes with plain write calls; and the process's peak memory while
// it runs, above its idle footprint. The files go to a temporary folder
// ($TMPDIR or /tmp) and are deleted after each run.
#include "BenchFigures.h"
#include "app/Application.h"
#include "audio/ImpactWavFile.h"
#include "audio/SensorAudioFormat.h"
#include "views/ImpactWavSaver.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

constexpr int runs = 5;
constexpr double timeGoal = 1.2;
constexpr double memoryGoalMb = 64;
// Ten markers of 2.98 s each, repeated to 2.0 GB.
constexpr int blockSize = 65709;
constexpr int blockCount = 10;
constexpr int repetitions = 3044;

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

// The baseline: the header, then each block as often, with plain write
// calls. Synced, for comparison: the same, on disk before the file is closed,
// as QSaveFile makes sure of before the file takes its name.
bool plainWrite(const QString& path, const QList<QByteArray>& blocks, qint64 dataSize, bool synced = false)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const QByteArray header = wavHeader(dataSize);
    bool ok = writeAll(fd, header.constData(), size_t(header.size()));
    for (const QByteArray& block : blocks) {
        for (int i = 0; ok && i < repetitions; ++i)
            ok = writeAll(fd, block.constData(), size_t(block.size()));
    }
    if (ok && synced)
        ok = ::fdatasync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

// The project: the screen's saver, from start to its report.
ImpactWavFile::Result download(QWidget& screen, const ImpactWavFile& file, const QString& path)
{
    ImpactWavFile::Result result = ImpactWavFile::Result::Failed;
    ImpactWavSaver saver(&screen, file, path);
    QEventLoop loop;
    QObject::connect(&saver, &ImpactWavSaver::finished, &loop, [&](ImpactWavFile::Result outcome) {
        result = outcome;
        loop.quit();
    });
    saver.start();
    loop.exec();
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupApplication(app);
    initResources();
    QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "wav download: no temporary folder\n");
        return 1;
    }
    const QString path = folder.filePath(QStringLiteral("impact.wav"));
    const QList<QByteArray> blocks = pseudoRandomBlocks(blockCount, blockSize, 777);
    const ImpactWavFile file(blocks, repetitions);
    QWidget screen;
    screen.show();

    // The warm-up checks the bytes; then each run measures the three in
    // turn, starting with another one each time, so all see the same machine.
    const auto checkBytes = [&] {
        QFile written(path);
        bool same = written.open(QIODevice::ReadOnly) && written.read(44) == wavHeader(file.dataSize());
        for (int b = 0; same && b < blockCount; ++b)
            same = written.read(blockSize) == blocks.at(b) && written.skip(qint64(blockSize) * (repetitions - 1));
        return same;
    };
    qint64 peakAboveIdle = 0;
    const auto sonvera = [&] {
        QCoreApplication::processEvents();
        const qint64 idle = statusBytes("VmRSS");
        if (!resetPeak())
            return false;
        const bool saved = download(screen, file, path) == ImpactWavFile::Result::Saved;
        peakAboveIdle = std::max(peakAboveIdle, statusBytes("VmHWM") - idle);
        return saved && QFile(path).size() == file.fileSize();
    };
    const std::function<bool()> contenders[] = {
        sonvera,
        [&] { return plainWrite(path, blocks, file.dataSize()); },
        [&] { return plainWrite(path, blocks, file.dataSize(), true); },
    };
    std::vector<double> times[3];
    for (int run = -1; run < runs; ++run) {
        for (int turn = 0; turn < 3; ++turn) {
            const int which = (turn + std::max(run, 0)) % 3;
            QElapsedTimer timer;
            timer.start();
            const bool ok = contenders[which]();
            const double elapsed = millisecondsSince(timer);
            if (!ok || (run < 0 && !checkBytes())) {
                std::fprintf(stderr, "wav download: contender %d did not write the header and blocks whole\n", which);
                return 1;
            }
            QFile::remove(path);
            if (run >= 0)
                times[which].push_back(elapsed);
        }
    }

    const double ours = median(times[0]);
    const double base = median(times[1]);
    const double synced = median(times[2]);
    std::printf("wav download of %.2f GB (%d blocks of %d bytes x %d), median of %d: sonvera %.0f ms, baseline plain "
                "write calls %.0f ms, ratio %.2f (goal <= %.1f)\n",
                double(file.fileSize()) / 1e9, blockCount, blockSize, repetitions, runs, ours, base, ours / base,
                timeGoal);
    std::printf("  for comparison, plain write calls then fdatasync %.0f ms, ratio %.2f\n", synced, ours / synced);
    std::printf("wav download peak memory above idle: %.1f MB (goal < %.0f MB)\n", double(peakAboveIdle) / 1e6,
                memoryGoalMb);
    return 0;
}
