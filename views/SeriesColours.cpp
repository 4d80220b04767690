#include "views/SeriesColours.h"

#include <QVector>

#include <algorithm>

namespace {

// Ten colours that stay apart on screen and in print, also for most colour
// blind readers.
const QVector<QColor>& palette()
{
    static const QVector<QColor> colours{
        QColor(31, 119, 180), QColor(255, 127, 14),  QColor(44, 160, 44),   QColor(214, 39, 40),  QColor(148, 103, 189),
        QColor(140, 86, 75),  QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34), QColor(23, 190, 207)};
    return colours;
}

// FNV-1a over the UTF-16 code units: the same on every run and platform,
// unlike the toolkit's seeded hashes.
quint32 stableHash(const QString& key)
{
    quint32 hash = 2166136261u;
    for (const QChar unit : key) {
        hash ^= unit.unicode();
        hash *= 16777619u;
    }
    return hash;
}

} // namespace

namespace SeriesColours {

QMap<QString, QColor> forKeys(const QStringList& keys)
{
    QStringList ordered = keys;
    ordered.sort();
    const int size = palette().size();
    QVector<int> wanted(size, 0); // how many keys of the chart want each colour
    for (const QString& key : ordered)
        ++wanted[int(stableHash(key) % quint32(size))];

    // Each key its own colour; of keys wanting the same one, the first in
    // name order has it, so that one contest moves no key beyond it.
    QVector<bool> taken(size, false);
    QMap<QString, int> chosen;
    QStringList moved;
    for (const QString& key : ordered) {
        const int own = int(stableHash(key) % quint32(size));
        if (taken.at(own)) {
            moved.append(key);
            continue;
        }
        taken[own] = true;
        chosen.insert(key, own);
    }
    // The others take a colour no key wants, else any free one; once all
    // are taken, colours repeat.
    for (const QString& key : moved) {
        const int own = int(stableHash(key) % quint32(size));
        int index = own;
        for (bool anyFree : {false, true}) {
            for (int step = 1; step < size && index == own; ++step) {
                const int candidate = (own + step) % size;
                if (!taken.at(candidate) && (anyFree || wanted.at(candidate) == 0))
                    index = candidate;
            }
        }
        taken[index] = true;
        chosen.insert(key, index);
    }

    QMap<QString, QColor> colours;
    for (auto entry = chosen.cbegin(); entry != chosen.cend(); ++entry)
        colours.insert(entry.key(), palette().at(entry.value()));
    return colours;
}

} // namespace SeriesColours
