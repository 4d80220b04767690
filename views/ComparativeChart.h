#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <QStringList>

class QJsonObject;

namespace QtCharts {
class QChart;
}

// One chart of the comparative analysis, built from a graph object of the
// service: one series per key, named after it, plotted against the records
// in time order (their dates on the x axis when known, else 1, 2, 3...).
// Series named in the options are thick splines in the colour given there;
// the others are plain lines in a colour of their own key. A chart without a
// single value says so instead of showing empty axes.
class ComparativeChart
{
    Q_DECLARE_TR_FUNCTIONS(ComparativeChart)

public:
    // How the axes of a chart are set for its data.
    struct Axes
    {
        double xMin = 1;
        double xMax = 1;
        double xTickInterval = 1;
        double xTickAnchor = 1;
        double yMin = 0;
        double yMax = 0;
        int yTickCount = 3;
        int yDecimals = 0;
    };

    // A new chart (the caller owns it) with its title, its series and, when
    // there is data, its axes. recordDates are the records' dates in time
    // order, "yyyy-MM-dd HH:mm:ss", one per point; with any other count the
    // x axis numbers the points.
    static QtCharts::QChart* build(const QJsonObject& data, const QJsonObject& options, const QString& title = {},
                                   const QStringList& recordDates = {});

    // The colour of each smooth series by name; an entry that is not three
    // integers from 0 to 255 gives the invalid colour.
    static QMap<QString, QColor> colourMap(const QJsonObject& options);

    // Axes for series of at most `count` points whose values lie within
    // min..max (min <= 0 <= max). The x axis keeps at most maxXTicks integer
    // ticks whatever the count, and a single point still gets an axis around
    // it. The y axis ticks fall on round values; whole data keeps whole
    // ticks; smooth series get 3% room above and below first.
    static Axes axesFor(int count, double min, double max, bool hasSmooth, bool wholeValues = false,
                        int maxXTicks = 10);

    // The x labels of records with these dates: the day alone when the days
    // differ, the time too when two records share a day; never two alike.
    static QStringList dateLabels(const QStringList& recordDates);

    // The text a chart without values shows over its plot, or empty.
    static QString notice(const QtCharts::QChart& chart);
};
