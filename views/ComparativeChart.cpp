#include "views/ComparativeChart.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QJsonArray>
#include <QJsonObject>
#include <QLegend>
#include <QLineSeries>
#include <QSplineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

using namespace QtCharts;

namespace {

constexpr int maximumXTicks = 10;
constexpr double smoothRoom = 0.03;

// 1, 2, 5, 10, 20, 50, ...: the smallest such step that keeps the ticks
// between first and last at most maximumXTicks.
double niceStep(int span)
{
    for (double decade = 1;; decade *= 10) {
        for (double factor : {1.0, 2.0, 5.0}) {
            if (span / (factor * decade) <= maximumXTicks)
                return factor * decade;
        }
    }
}

bool isWhole(double value)
{
    return std::floor(value) == value;
}

} // namespace

QMap<QString, QColor> ComparativeChart::colourMap(const QJsonObject& options)
{
    QMap<QString, QColor> colours;
    for (auto option = options.begin(); option != options.end(); ++option) {
        const QJsonArray rgb = option.value().toArray();
        QColor colour;
        if (option.value().isArray() && rgb.size() == 3) {
            const int red = rgb.at(0).toInt(-1);
            const int green = rgb.at(1).toInt(-1);
            const int blue = rgb.at(2).toInt(-1);
            const auto inRange = [](int channel) { return channel >= 0 && channel <= 255; };
            if (inRange(red) && inRange(green) && inRange(blue))
                colour = QColor(red, green, blue);
        }
        colours.insert(option.key(), colour);
    }
    return colours;
}

ComparativeChart::Axes ComparativeChart::axesFor(int count, double min, double max, bool hasSmooth)
{
    Axes axes;
    if (count <= 1) {
        // One record: its point in the middle, one tick under it.
        axes.xMin = 0.5;
        axes.xMax = 1.5;
    } else {
        axes.xMin = 1;
        axes.xMax = count;
        axes.xTickInterval = niceStep(count - 1);
        // Round steps read best on round numbers; single steps start at 1.
        axes.xTickAnchor = axes.xTickInterval > 1 ? 0 : 1;
    }

    if (hasSmooth) {
        min -= smoothRoom * std::fabs(min);
        max += smoothRoom * std::fabs(max);
    }
    if (max - min <= 0) {
        axes.yMin = -1;
        axes.yMax = 1;
        axes.yTickCount = 3;
        return axes;
    }
    axes.yMin = min;
    axes.yMax = max;
    // Small whole ranges (counts of complaints, say) get a tick per unit, so
    // that no two labels read the same.
    if (isWhole(min) && isWhole(max) && max - min <= 8)
        axes.yTickCount = int(max - min) + 1;
    return axes;
}

QChart* ComparativeChart::build(const QJsonObject& data, const QJsonObject& options)
{
    auto* chart = new QChart;
    const QMap<QString, QColor> colours = colourMap(options);
    double min = 0;
    double max = 0;
    int count = 0;
    bool hasSmooth = false;

    // QJsonObject keeps its keys sorted, so the series come in name order.
    for (auto entry = data.begin(); entry != data.end(); ++entry) {
        const QJsonArray values = entry.value().toArray();
        QXYSeries* series = nullptr;
        const auto colour = colours.constFind(entry.key());
        if (colour != colours.constEnd()) {
            series = new QSplineSeries(chart);
            QPen pen = series->pen();
            pen.setWidth(3);
            pen.setColor(*colour);
            series->setPen(pen);
            hasSmooth = true;
        } else {
            series = new QLineSeries(chart);
        }
        series->setName(entry.key());
        QVector<QPointF> points;
        points.reserve(values.size());
        for (int i = 0; i < values.size(); ++i) {
            const double y = values.at(i).isDouble() ? values.at(i).toDouble() : 0.0;
            points.append(QPointF(i + 1, y));
            if (y < min)
                min = y;
            else
                max = std::max(max, y);
        }
        series->replace(points);
        // A line needs two points; a lone one is shown as a dot.
        series->setPointsVisible(values.size() == 1);
        chart->addSeries(series);
        // The longest series sets the x axis, so that none is cut off.
        count = std::max(count, int(values.size()));
    }
    chart->legend()->setAlignment(Qt::AlignRight);

    if (!data.isEmpty()) {
        chart->createDefaultAxes();
        const QList<QAbstractAxis*> horizontal = chart->axes(Qt::Horizontal);
        const QList<QAbstractAxis*> vertical = chart->axes(Qt::Vertical);
        auto* x = horizontal.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(horizontal.first());
        auto* y = vertical.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(vertical.first());
        const Axes axes = axesFor(count, min, max, hasSmooth);
        if (x) {
            x->setRange(axes.xMin, axes.xMax);
            x->setLabelFormat(QStringLiteral("%.1i"));
            x->setTickType(QValueAxis::TicksDynamic);
            x->setTickAnchor(axes.xTickAnchor);
            x->setTickInterval(axes.xTickInterval);
        }
        if (y) {
            y->setRange(axes.yMin, axes.yMax);
            y->setLabelFormat(QStringLiteral("%.1i"));
            y->setTickCount(axes.yTickCount);
        }
    }
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    return chart;
}
