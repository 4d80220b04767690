#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

#include <algorithm>
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
