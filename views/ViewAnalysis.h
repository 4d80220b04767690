#pragma once

#include "data/Patient.h"
#include "data/Record.h"
#include "views/ScreenHeading.h"

#include <QList>
#include <QWidget>

class AnalysisDelegate;
class AnalysisModel;
class PrintedReport;
class QComboBox;
class QPushButton;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;
class SummaryTableModel;

// What the service computes from the records chosen on the patient card: a
// summary table by category, and for a chosen storage a marker table with a
// bar per recording. Both tables can be printed or saved as PDF.
class ViewAnalysis : public QWidget
{
    Q_OBJECT

public:
    ViewAnalysis(const Patient& patient, const QList<Record>& records, QWidget* parent = nullptr);
    ~ViewAnalysis() override;

    // Both tables as they are shown, for the printer or a PDF.
    PrintedReport report() const;

signals:
    void onPatientsList();
    void onBack();

public slots:
    void onAnalyse();
    void onAnalyseSuccess(const QByteArray& body);
    void onCategoryChanged(int index);
    void onError(const QString& message);
    void onLoadSuccess(const QByteArray& body);
    void onSummarySuccess(const QByteArray& body);
    void onTabChanged(int index);
    void backToPatientsList();
    void backToPatient();
    void onPrint();
    void onSavePdf();

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildWidgets();
    void setUpTable(QTableView* table, QSortFilterProxyModel* proxy);
    void retranslate();
    QByteArray requestBody() const;
    void updateAnalyseButton();
    // Shows a marker analysis; false when the answer can't be read.
    bool showAnalysis(const QByteArray& body);
    static void fitColumns(QTableView* table);

    Patient m_patient;
    QList<Record> m_records;
    ScreenHeading* m_heading = nullptr;
    QTabWidget* m_tabs = nullptr;
    QComboBox* m_categories = nullptr;
    QComboBox* m_storages = nullptr;
    QPushButton* m_analyse = nullptr;
    QPushButton* m_print = nullptr;
    QPushButton* m_savePdf = nullptr;
    QTableView* m_summaryTable = nullptr;
    QTableView* m_analysisTable = nullptr;
    AnalysisModel* m_analysisModel = nullptr;
    SummaryTableModel* m_summaryModel = nullptr;
    QSortFilterProxyModel* m_analysisProxy = nullptr;
    QSortFilterProxyModel* m_summaryProxy = nullptr;
    AnalysisDelegate* m_delegate = nullptr;
    // Set when the category list is asked for; a failed request clears it so
    // that the next visit to the marker tab asks again.
    bool m_categoriesLoaded = false;
    // The storage of the marker table shown, for the printed caption.
    QString m_analysedStorage;
};
