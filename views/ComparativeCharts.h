#pragma once

#include "data/Record.h"

#include <QJsonObject>
#include <QList>
#include <QStringList>

class PrintedReport;

namespace QtCharts {
class QChart;
}

// The four charts of a comparative answer ("graph1", "graph2", "summary" with
// the "smooth" options, "complaints"), built alike for the screen and for
// paper.
namespace ComparativeCharts {

struct Source
{
    QJsonObject answer;
    QStringList titles;      // one per chart, in the charts' order
    QStringList recordDates; // of the records in time order, one per point
};

// The keys of the answer the charts are read from.
QStringList keys();

// New charts (the caller owns them), in the order graph1, graph2, summary, complaints.
QList<QtCharts::QChart*> build(const Source& source);

// The dates of the records in the order the service plots them (time, then
// identifier; each record once); empty when a record has no date.
QStringList recordDates(const QList<Record>& records);

// The charts perPage to a page, drawn at the page's size with their plot
// areas lined up.
void addToReport(PrintedReport& report, const Source& source, int perPage);

} // namespace ComparativeCharts
