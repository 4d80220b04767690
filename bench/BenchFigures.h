#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>

#include <algorithm>
#include <unistd.h>
#include <vector>

// What the benchmarks share: the median of their runs, timing, and blocks of
// samples shaped like the service's impact audio.

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline double millisecondsSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// `count` blocks of `size` pseudo-random samples, the same for the same seed.
inline QList<QByteArray> pseudoRandomBlocks(int count, int size, quint32 seed)
{
    QList<QByteArray> blocks;
    quint32 state = seed;
    for (int index = 0; index < count; ++index) {
        QByteArray block(size, Qt::Uninitialized);
        for (char& sample : block) {
            state = state * 1664525u + 1013904223u;
            sample = char(state >> 24);
        }
        blocks.append(block);
    }
    return blocks;
}

// The /proc folder of a process: this one's for pid 0.
inline QString procFolder(qint64 pid)
{
    return pid == 0 ? QStringLiteral("/proc/self") : QStringLiteral("/proc/%1").arg(pid);
}

// The processor time the process has used so far, user and system, in
// seconds; -1 when it can't be read.
inline double processorSeconds(qint64 pid = 0)
{
    QFile stat(procFolder(pid) + QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The command name may hold spaces: the fields counted come after it.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = double(fields[11].toLongLong() + fields[12].toLongLong());
    return ticks / double(sysconf(_SC_CLK_TCK));
}

// A line of the process's status such as "VmHWM:  123456 kB", in bytes; -1
// when it can't be read.
inline qint64 statusBytes(const char* field, qint64 pid = 0)
{
    QFile status(procFolder(pid) + QStringLiteral("/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// Sets the process's peak to its current footprint, so the peak measured
// afterwards belongs to what follows.
inline bool resetPeak(qint64 pid = 0)
{
    QFile clearRefs(procFolder(pid) + QStringLiteral("/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}
