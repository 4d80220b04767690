#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

namespace QtCharts {
class QChart;
}

// Lines up the plot areas of charts shown one under another: each gets the
// room of the widest axis labels (left) and the widest legend (right) of
// them all, so that the same x falls at the same place in every chart.
class PlotAreaAligner : public QObject
{
    Q_OBJECT

public:
    explicit PlotAreaAligner(QObject* parent = nullptr);

    // Follows the charts from now on: realigned whenever one changes size.
    void follow(const QList<QtCharts::QChart*>& charts);

    // Aligns charts of equal width once, laid out at their current size.
    static void align(const QList<QtCharts::QChart*>& charts);

private:
    void alignSoon();

    QList<QPointer<QtCharts::QChart>> m_charts;
    bool m_pending = false;
};
