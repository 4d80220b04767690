#pragma once

#include <QColor>
#include <QMap>
#include <QString>
#include <QStringList>

// The colour of each plain series of a chart, chosen by its key: the same
// key gets the same colour on screen and on paper, whatever other series the
// chart holds and whatever the interface language. Two keys of one chart
// that would share a colour are told apart while colours remain.
namespace SeriesColours {

QMap<QString, QColor> forKeys(const QStringList& keys);

} // namespace SeriesColours
