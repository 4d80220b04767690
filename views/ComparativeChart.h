#pragma once

#include <QColor>
#include <QMap>
#include <QString>

class QJsonObject;

namespace QtCharts {
class QChart;
}

// One chart of the comparative analysis, built from a graph object of the
// service: one series per key, named after it, plotted against the record
// number (1, 2, 3, ...). Series named in the options are thick splines in
// the colour given there; the others are plain lines.
class ComparativeChart
{
public:
    // How the axes of a chart are set for its data.
    struct Axes
    {
        double xMin = 1;
        double xMax = 1;
        double xTickAnchor = 1;
        double xTickInterval = 1;
        double yMin = 0;
        double yMax = 0;
        int yTickCount = 5;
    };

    // A new chart (the caller owns it) with its series and, when there is
    // data, its axes.
    static QtCharts::QChart* build(const QJsonObject& data, const QJsonObject& options);

    // The colour of each smooth series by name; an entry that is not three
    // integers from 0 to 255 gives the invalid colour.
    static QMap<QString, QColor> colourMap(const QJsonObject& options);

    // Axes for series of at most `count` points whose values lie within
    // min..max (min <= 0 <= max). The x axis keeps about ten integer ticks
    // whatever the count, and a single point still gets an axis around it;
    // a y range of zero height, which would hide the series and the axis,
    // becomes -1..1. Smooth series get 3% room above and below.
    static Axes axesFor(int count, double min, double max, bool hasSmooth);
};
