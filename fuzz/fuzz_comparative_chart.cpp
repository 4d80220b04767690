// The comparative analysis's charts, built from any answer and then laid out
// and painted small, as the screen and the printout do.
#include "FuzzCheck.h"
#include "FuzzModels.h"
#include "views/ComparativeChart.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QtCharts/QAbstractSeries>
#include <QtCharts/QChart>

#include <memory>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // A chart is a graphics widget, which needs the widgets' application.
    startOffscreenApplication<QApplication>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QJsonObject answer = QJsonDocument::fromJson(fuzzInput(data, size)).object();
    // The chart that takes options, and one that takes none.
    const QJsonObject graphs[] = {answer.value(QLatin1String("summary")).toObject(),
                                  answer.value(QLatin1String("graph1")).toObject()};
    const QJsonObject options[] = {answer.value(QLatin1String("smooth")).toObject(), QJsonObject()};
    for (int i = 0; i < 2; ++i) {
        std::unique_ptr<QtCharts::QChart> chart(ComparativeChart::build(graphs[i], options[i]));
        // One series per key of the graph, named after it.
        FUZZ_CHECK(chart->series().size() == graphs[i].size());
        for (const QtCharts::QAbstractSeries* series : chart->series())
            FUZZ_CHECK(graphs[i].contains(series->name()));

        QGraphicsScene scene;
        scene.addItem(chart.get());
        chart->resize(240, 160);
        QImage image(240, 160, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        scene.render(&painter);
        painter.end();
        scene.removeItem(chart.get());
    }
    return 0;
}
