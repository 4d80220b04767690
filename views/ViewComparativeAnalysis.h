#pragma once

#include "data/Patient.h"
#include "data/Record.h"
#include "views/ComparativeCharts.h"
#include "views/ScreenHeading.h"

#include <QJsonObject>
#include <QList>
#include <QWidget>

class PlotAreaAligner;
class PrintedReport;
class QPushButton;
class QScrollArea;

namespace QtCharts {
class QChartView;
}

// Four line charts the service computes for the records chosen on the
// patient card ("graph1", "graph2", "summary" and "complaints"), one above
// the other in a scrollable column. They can be printed or saved as PDF.
class ViewComparativeAnalysis : public QWidget
{
    Q_OBJECT

public:
    ViewComparativeAnalysis(const Patient& patient, const QList<Record>& records, QWidget* parent = nullptr);
    ~ViewComparativeAnalysis() override;

    // In the order graph1, graph2, summary, complaints; empty until the answer came.
    QList<QtCharts::QChartView*> chartViews() const { return m_views; }
    // The four charts, two to a page, for the printer or a PDF.
    PrintedReport report() const;

signals:
    void onPatientsList();
    void onBack();

public slots:
    void onSuccess(const QByteArray& body);
    void onError(const QString& message);
    void backToPatientsList();
    void backToPatient();
    void onPrint();
    void onSavePdf();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildWidgets();
    void retranslate();
    void fitContainerWidth();
    void showCharts();
    ComparativeCharts::Source chartSource() const;

    Patient m_patient;
    QList<Record> m_records;
    ScreenHeading* m_heading = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_savePdf = nullptr;
    QScrollArea* m_scrollArea = nullptr;
    QWidget* m_container = nullptr;
    QList<QtCharts::QChartView*> m_views;
    PlotAreaAligner* m_aligner;
    // The answer the charts were built from; printing builds them again at
    // the page's size.
    QJsonObject m_answer;
};
