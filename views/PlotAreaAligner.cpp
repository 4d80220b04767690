#include "views/PlotAreaAligner.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QMargins>
#include <QVariant>

#include <algorithm>

using namespace QtCharts;

namespace {

QMargins marginsOf(const QVariant& stored)
{
    const QVariantList sides = stored.toList();
    return QMargins(sides.value(0).toInt(), sides.value(1).toInt(), sides.value(2).toInt(), sides.value(3).toInt());
}

} // namespace

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
    // The margins each chart had before any alignment.
    const char* const ownMargins = "sonveraOwnMargins";
    qreal left = 0;
    qreal right = 0;
    QList<QRectF> natural;
    for (QChart* chart : charts) {
        if (!chart->property(ownMargins).isValid()) {
            const QMargins own = chart->margins();
            chart->setProperty(ownMargins, QVariantList{own.left(), own.top(), own.right(), own.bottom()});
        }
        chart->setMargins(marginsOf(chart->property(ownMargins)));
        chart->layout()->activate();
        const QRectF plot = chart->plotArea();
        natural.append(plot);
        // A chart without axes has no plot to line up.
        if (chart->axes().isEmpty())
            continue;
        left = std::max(left, plot.left());
        right = std::max(right, chart->size().width() - plot.right());
    }
    // Wider margins where the chart's own axis labels and legend are
    // narrower: the chart lays out its axes and series for them itself.
    for (int i = 0; i < charts.size(); ++i) {
        QChart* chart = charts.at(i);
        if (chart->axes().isEmpty())
            continue;
        const QRectF& plot = natural.at(i);
        const QMargins own = marginsOf(chart->property(ownMargins));
        chart->setMargins(
            own + QMargins(qRound(left - plot.left()), 0, qRound(right - (chart->size().width() - plot.right())), 0));
        chart->layout()->activate();
    }
}
