#include "views/ComparativeCharts.h"

#include "views/ComparativeChart.h"
#include "views/PlotAreaAligner.h"
#include "widgets/PrintedReport.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QPainter>
#include <QSet>

#include <algorithm>
#include <memory>

using namespace QtCharts;

namespace {

struct ChartKeys
{
    const char* data;
    const char* options;
};
constexpr ChartKeys chartKeys[] = {
    {"graph1", nullptr}, {"graph2", nullptr}, {"summary", "smooth"}, {"complaints", nullptr}};

QJsonObject member(const QJsonObject& object, const char* key)
{
    return key ? object.value(QLatin1String(key)).toObject() : QJsonObject();
}

// The charts of one page size, kept while the pictures of a report are drawn
// one after the other at that size.
class PageCharts
{
public:
    explicit PageCharts(ComparativeCharts::Source source) : m_source(std::move(source)) {}

    void paint(int index, QPainter& painter, const QRectF& area)
    {
        if (!m_scene || m_size != area.size())
            buildAt(area.size());
        QChart* chart = m_charts.value(index);
        if (!chart)
            return;
        m_scene->render(&painter, area, chart->geometry());
    }

private:
    void buildAt(const QSizeF& size)
    {
        m_scene = std::make_unique<QGraphicsScene>();
        m_size = size;
        m_charts = ComparativeCharts::build(m_source);
        // Fonts in report units, whatever the printer's resolution.
        const QFont labels = ReportPageFrame::font(10);
        qreal top = 0;
        for (QChart* chart : m_charts) {
            m_scene->addItem(chart);
            chart->setTitleFont(ReportPageFrame::font(12, true));
            chart->legend()->setFont(labels);
            for (QAbstractAxis* axis : chart->axes())
                axis->setLabelsFont(labels);
            for (QGraphicsItem* item : chart->childItems()) {
                if (auto* text = dynamic_cast<QGraphicsSimpleTextItem*>(item))
                    text->setFont(ReportPageFrame::font(13));
            }
            // One under another in the scene, so that none overlaps another when rendered.
            chart->setGeometry(QRectF(QPointF(0, top), size));
            chart->layout()->activate();
            top += size.height() + 1;
        }
        PlotAreaAligner::align(m_charts);
    }

    ComparativeCharts::Source m_source;
    std::unique_ptr<QGraphicsScene> m_scene; // owns the charts
    QList<QChart*> m_charts;
    QSizeF m_size;
};

} // namespace

namespace ComparativeCharts {

QStringList keys()
{
    QStringList names;
    for (const ChartKeys& keys : chartKeys)
        names.append(QLatin1String(keys.data));
    return names;
}

QList<QChart*> build(const Source& source)
{
    QList<QChart*> charts;
    int index = 0;
    for (const ChartKeys& keys : chartKeys) {
        charts.append(ComparativeChart::build(member(source.answer, keys.data), member(source.answer, keys.options),
                                              source.titles.value(index++), source.recordDates));
    }
    return charts;
}

QStringList recordDates(const QList<Record>& records)
{
    QList<Record> ordered;
    QSet<QString> ids;
    for (const Record& record : records) {
        if (record.recordedAt().isEmpty())
            return {};
        if (!ids.contains(record.id())) {
            ids.insert(record.id());
            ordered.append(record);
        }
    }
    // "yyyy-MM-dd HH:mm:ss" sorts as text in time order.
    std::sort(ordered.begin(), ordered.end(), [](const Record& a, const Record& b) {
        return a.recordedAt() != b.recordedAt() ? a.recordedAt() < b.recordedAt() : a.id() < b.id();
    });
    QStringList dates;
    for (const Record& record : ordered)
        dates.append(record.recordedAt());
    return dates;
}

void addToReport(PrintedReport& report, const Source& source, int perPage)
{
    auto charts = std::make_shared<PageCharts>(source);
    for (int index = 0; index < int(std::size(chartKeys)); ++index) {
        report.addPicture(
            perPage, [charts, index](QPainter& painter, const QRectF& area) { charts->paint(index, painter, area); });
    }
}

} // namespace ComparativeCharts
