#include "views/ComparativeChart.h"

#include "base/NiceScale.h"
#include "views/SeriesColours.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QJsonArray>
#include <QJsonObject>
#include <QLegend>
#include <QLineSeries>
#include <QSet>
#include <QSplineSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

using namespace QtCharts;

namespace {

constexpr double smoothRoom = 0.03;
constexpr int maximumYTicks = 7;
// Date labels are wider than numbers: fewer of them fit under a chart.
constexpr int maximumDayTicks = 10;
constexpr int maximumTimeTicks = 6;
constexpr int noticeKey = 0;

// 1, 2, 5, 10, 20, 50, ...: the smallest such step that keeps the ticks
// between first and last at most maxTicks.
double niceStep(int span, int maxTicks)
{
    for (double decade = 1;; decade *= 10) {
        for (double factor : {1.0, 2.0, 5.0}) {
            if (span / (factor * decade) <= maxTicks)
                return factor * decade;
        }
    }
}

bool isWhole(double value)
{
    return std::floor(value) == value;
}

QAbstractAxis* xAxisOf(const ComparativeChart::Axes& axes, const QStringList& labels)
{
    if (labels.isEmpty()) {
        auto* x = new QValueAxis;
        x->setRange(axes.xMin, axes.xMax);
        x->setLabelFormat(QStringLiteral("%.1i"));
        x->setTickType(QValueAxis::TicksDynamic);
        x->setTickAnchor(axes.xTickAnchor);
        x->setTickInterval(axes.xTickInterval);
        return x;
    }
    auto* x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x->setStartValue(0);
    for (int point = 1; point <= labels.size(); point += int(axes.xTickInterval))
        x->append(labels.at(point - 1), point);
    // The axis leaves out a label that reaches past its end, which the first
    // date, centred under the first point, does when the y labels beside it
    // are narrow: room for half a date on each side.
    const bool withTimes = labels.first().size() > 10;
    const double room = (axes.xMax - axes.xMin) * (withTimes ? 0.09 : 0.06);
    x->setRange(axes.xMin - room, axes.xMax + room);
    return x;
}

QValueAxis* yAxisOf(const ComparativeChart::Axes& axes)
{
    auto* y = new QValueAxis;
    y->setRange(axes.yMin, axes.yMax);
    y->setTickCount(axes.yTickCount);
    y->setLabelFormat(QStringLiteral("%.%1f").arg(axes.yDecimals));
    return y;
}

void showNotice(QChart* chart, const QString& text)
{
    auto* notice = new QGraphicsSimpleTextItem(text, chart);
    notice->setData(noticeKey, true);
    notice->setBrush(QColor(110, 110, 110));
    QFont font = notice->font();
    font.setPointSizeF(font.pointSizeF() * 1.2);
    notice->setFont(font);
    QObject::connect(chart, &QChart::plotAreaChanged, chart,
                     [notice](const QRectF& plot) { notice->setPos(plot.center() - notice->boundingRect().center()); });
    chart->legend()->hide();
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

ComparativeChart::Axes ComparativeChart::axesFor(int count, double min, double max, bool hasSmooth, bool wholeValues,
                                                 int maxXTicks)
{
    Axes axes;
    if (count <= 1) {
        // One record: its point in the middle, one tick under it.
        axes.xMin = 0.5;
        axes.xMax = 1.5;
    } else {
        axes.xMin = 1;
        axes.xMax = count;
        axes.xTickInterval = niceStep(count - 1, maxXTicks);
        // Round steps read best on round numbers; single steps start at 1.
        axes.xTickAnchor = axes.xTickInterval > 1 ? 0 : 1;
    }

    if (hasSmooth) {
        min -= smoothRoom * std::fabs(min);
        max += smoothRoom * std::fabs(max);
    }
    const NiceScale scale = NiceScale::of(min, max, maximumYTicks, wholeValues && !hasSmooth);
    axes.yMin = scale.min;
    axes.yMax = scale.max;
    axes.yTickCount = scale.tickCount;
    axes.yDecimals = scale.decimals;
    return axes;
}

QStringList ComparativeChart::dateLabels(const QStringList& recordDates)
{
    // "yyyy-MM-dd", then "yyyy-MM-dd HH:mm", then the whole text.
    QStringList labels;
    for (int length : {10, 16, -1}) {
        labels.clear();
        for (const QString& date : recordDates)
            labels.append(length < 0 ? date : date.left(length));
        if (QSet<QString>(labels.begin(), labels.end()).size() == labels.size())
            return labels;
    }
    // Records of the same second: the axis needs distinct labels, the reader
    // sees the same text.
    QSet<QString> seen;
    for (QString& label : labels) {
        while (seen.contains(label))
            label.append(QChar(0x200B));
        seen.insert(label);
    }
    return labels;
}

QString ComparativeChart::notice(const QChart& chart)
{
    for (const QGraphicsItem* item : chart.childItems()) {
        if (item->data(noticeKey).toBool())
            return static_cast<const QGraphicsSimpleTextItem*>(item)->text();
    }
    return {};
}

QChart* ComparativeChart::build(const QJsonObject& data, const QJsonObject& options, const QString& title,
                                const QStringList& recordDates)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    const QMap<QString, QColor> smoothColours = colourMap(options);
    QStringList plainKeys;
    for (const QString& key : data.keys()) {
        if (!smoothColours.contains(key))
            plainKeys.append(key);
    }
    const QMap<QString, QColor> plainColours = SeriesColours::forKeys(plainKeys);
    double min = 0;
    double max = 0;
    int count = 0;
    bool hasSmooth = false;
    bool wholeValues = true;

    // QJsonObject keeps its keys sorted, so the series come in name order.
    for (auto entry = data.begin(); entry != data.end(); ++entry) {
        const QJsonArray values = entry.value().toArray();
        QXYSeries* series = nullptr;
        const auto colour = smoothColours.constFind(entry.key());
        if (colour != smoothColours.constEnd()) {
            series = new QSplineSeries(chart);
            QPen pen = series->pen();
            pen.setWidth(3);
            pen.setColor(*colour);
            series->setPen(pen);
            hasSmooth = true;
        } else {
            series = new QLineSeries(chart);
            series->setColor(plainColours.value(entry.key()));
        }
        series->setName(entry.key());
        QVector<QPointF> points;
        points.reserve(values.size());
        for (int i = 0; i < values.size(); ++i) {
            const double y = values.at(i).isDouble() ? values.at(i).toDouble() : 0.0;
            points.append(QPointF(i + 1, y));
            wholeValues = wholeValues && isWhole(y);
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

    if (count == 0) {
        showNotice(chart, tr("Text.noChartData"));
    } else {
        const QStringList labels = recordDates.size() == count ? dateLabels(recordDates) : QStringList();
        const bool withTimes = !labels.isEmpty() && labels.first().size() > 10;
        const Axes axes =
            axesFor(count, min, max, hasSmooth, wholeValues, withTimes ? maximumTimeTicks : maximumDayTicks);
        QAbstractAxis* x = xAxisOf(axes, labels);
        QValueAxis* y = yAxisOf(axes);
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        for (QAbstractSeries* series : chart->series()) {
            series->attachAxis(x);
            series->attachAxis(y);
        }
    }
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    return chart;
}
