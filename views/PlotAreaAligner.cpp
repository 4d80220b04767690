#include "views/PlotAreaAligner.h"

#include <QChart>
#include <QGraphicsLayout>

#include <algorithm>

using namespace QtCharts;

PlotAreaAligner::PlotAreaAligner(QObject* parent) : QObject(parent) {}

void PlotAreaAligner::follow(const QList<QChart*>& charts)
{
    m_charts.clear();
    for (QChart* chart : charts) {
        m_charts.append(chart);
        connect(chart, &QChart::geometryChanged, this, &PlotAreaAligner::alignSoon);
    }
    alignSoon();
}

void PlotAreaAligner::alignSoon()
{
    // Several charts change size in one layout pass: align once after it.
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_pending = false;
            QList<QChart*> charts;
            for (const QPointer<QChart>& chart : m_charts) {
                if (chart)
                    charts.append(chart);
            }
            align(charts);
        },
        Qt::QueuedConnection);
}

void PlotAreaAligner::align(const QList<QChart*>& charts)
{
    qreal left = 0;
    qreal right = 0;
    QList<QRectF> natural;
    for (QChart* chart : charts) {
        // Back to the chart's own layout, to learn the margins it needs now.
        chart->setPlotArea(QRectF());
        chart->layout()->activate();
        const QRectF plot = chart->plotArea();
        natural.append(plot);
        left = std::max(left, plot.left());
        right = std::max(right, chart->size().width() - plot.right());
    }
    for (int i = 0; i < charts.size(); ++i) {
        const QRectF& plot = natural.at(i);
        const qreal width = charts.at(i)->size().width() - left - right;
        // A chart without axes has no plot to align; one too narrow keeps its own.
        if (charts.at(i)->axes().isEmpty() || width <= 0)
            continue;
        charts.at(i)->setPlotArea(QRectF(left, plot.top(), width, plot.height()));
    }
}
