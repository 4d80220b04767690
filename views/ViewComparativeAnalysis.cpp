#include "views/ViewComparativeAnalysis.h"

#include "api/Controller.h"
#include "data/ServiceAnswer.h"
#include "views/ComparativeCharts.h"
#include "views/PlotAreaAligner.h"
#include "widgets/KeyboardAccess.h"
#include "widgets/MessageBoxes.h"
#include "widgets/PrintedReport.h"
#include "widgets/ReportOutput.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace QtCharts;

namespace {

// The charts take this share of the width they are shown in; at less, the
// legend cuts the longer (Russian) names at the window's default size.
constexpr double containerShare = 0.9;
constexpr int chartsPerPage = 2;

} // namespace

ViewComparativeAnalysis::ViewComparativeAnalysis(const Patient& patient, const QList<Record>& records, QWidget* parent)
    : QWidget(parent), m_patient(patient), m_records(records), m_aligner(new PlotAreaAligner(this))
{
    buildWidgets();
    retranslate();
    connect(m_heading->crumb(ScreenHeading::PatientsList), &QPushButton::clicked, this,
            &ViewComparativeAnalysis::backToPatientsList);
    connect(m_heading->crumb(ScreenHeading::PatientCard), &QPushButton::clicked, this,
            &ViewComparativeAnalysis::backToPatient);
    connect(m_print, &QPushButton::clicked, this, &ViewComparativeAnalysis::onPrint);
    connect(m_savePdf, &QPushButton::clicked, this, &ViewComparativeAnalysis::onSavePdf);

    QJsonArray ids;
    for (const Record& record : m_records)
        ids.append(record.id());
    const QJsonObject body{{QStringLiteral("records"), ids}, {QStringLiteral("patientId"), m_patient.id()}};
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, &ViewComparativeAnalysis::onSuccess);
    connect(controller, &Controller::onError, this, &ViewComparativeAnalysis::onError);
    controller->comparative(QJsonDocument(body).toJson());
}

ViewComparativeAnalysis::~ViewComparativeAnalysis() = default;

void ViewComparativeAnalysis::buildWidgets()
{
    resize(781, 589);
    m_heading = new ScreenHeading(this, {{ScreenHeading::PatientsList, QStringLiteral("buttonListPatients")},
                                         {ScreenHeading::PatientCard, QStringLiteral("buttonBack")}});
    m_heading->setPatientName(m_patient.name());
    m_print = new QPushButton(this);
    m_print->setObjectName(QStringLiteral("buttonPrint"));
    m_savePdf = new QPushButton(this);
    m_savePdf->setObjectName(QStringLiteral("buttonSavePdf"));
    pressWithKeys(m_print, {QKeySequence::Print});
    pressWithKeys(m_savePdf, {QKeySequence::Save});
    // Nothing to print before the charts came.
    m_print->setEnabled(false);
    m_savePdf->setEnabled(false);
    m_heading->controls()->addWidget(m_print);
    m_heading->controls()->addWidget(m_savePdf);

    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("scrollArea"));
    m_scrollArea->setAutoFillBackground(false);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    m_container = new QWidget;
    m_container->setObjectName(QStringLiteral("chartsContainer"));
    m_container->setGeometry(0, 0, 755, 471);
    new QVBoxLayout(m_container);
    m_scrollArea->setWidget(m_container);
    // The charts keep their share of the width as the window is resized.
    m_scrollArea->viewport()->installEventFilter(this);

    ScreenHeading::screenColumn(this, m_heading)->addWidget(m_scrollArea, 1);
}

void ViewComparativeAnalysis::retranslate()
{
    m_heading->setTitle(tr("Title.comparativeAnalysis"), m_patient.name());
    m_print->setText(tr("Text.print"));
    m_savePdf->setText(tr("Text.savePdf"));
    tellKeysInToolTip(m_print);
    tellKeysInToolTip(m_savePdf);
    // The charts' titles and notices are in the interface language too.
    if (!m_views.isEmpty())
        showCharts();
}

ComparativeCharts::Source ViewComparativeAnalysis::chartSource() const
{
    return {m_answer,
            {tr("Text.chartCategories"), tr("Text.chartBands"), tr("Text.chartBalance"), tr("Text.chartComplaints")},
            ComparativeCharts::recordDates(m_records)};
}

void ViewComparativeAnalysis::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

bool ViewComparativeAnalysis::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scrollArea->viewport() && event->type() == QEvent::Resize)
        fitContainerWidth();
    return QWidget::eventFilter(watched, event);
}

void ViewComparativeAnalysis::fitContainerWidth()
{
    m_container->setMaximumWidth(int(m_scrollArea->viewport()->width() * containerShare));
}

void ViewComparativeAnalysis::onSuccess(const QByteArray& body)
{
    // Charts without series would say the records show nothing.
    std::optional<QJsonObject> answer =
        ServiceAnswer::object(body, {{QLatin1String("graph1"), QJsonValue::Object},
                                     {QLatin1String("graph2"), QJsonValue::Object},
                                     {QLatin1String("summary"), QJsonValue::Object},
                                     {QLatin1String("smooth"), QJsonValue::Object},
                                     {QLatin1String("complaints"), QJsonValue::Object}});
    if (!answer) {
        onError(ServiceAnswer::unreadableText());
        return;
    }
    m_answer = *answer;
    showCharts();
    fitContainerWidth();
    m_print->setEnabled(true);
    m_savePdf->setEnabled(true);
}

void ViewComparativeAnalysis::showCharts()
{
    qDeleteAll(m_views);
    m_views.clear();
    auto* column = static_cast<QVBoxLayout*>(m_container->layout());
    const QList<QChart*> charts = ComparativeCharts::build(chartSource());
    const QStringList keys = ComparativeCharts::keys();
    for (int index = 0; index < charts.size(); ++index) {
        auto* view = new QChartView(charts.at(index), m_container);
        view->setObjectName(QStringLiteral("chartView_") + keys.value(index));
        view->setRenderHint(QPainter::Antialiasing);
        view->setStyleSheet(QStringLiteral("background:transparent"));
        view->setAttribute(Qt::WA_TranslucentBackground, true);
        view->setAttribute(Qt::WA_OpaquePaintEvent, false);
        view->setBackgroundBrush(QBrush(Qt::transparent, Qt::SolidPattern));
        view->setMinimumHeight(250);
        column->addWidget(view, 1);
        m_views.append(view);
    }
    m_aligner->follow(charts);
}

void ViewComparativeAnalysis::onError(const QString& message)
{
    showError(this, message);
}

void ViewComparativeAnalysis::backToPatientsList()
{
    emit onPatientsList();
}

void ViewComparativeAnalysis::backToPatient()
{
    emit onBack();
}

// ---- Print and PDF -------------------------------------------------------------

PrintedReport ViewComparativeAnalysis::report() const
{
    PrintedReport report(reportHeadingOf(tr("Title.comparativeAnalysis"), m_patient, m_records));
    ComparativeCharts::addToReport(report, chartSource(), chartsPerPage);
    return report;
}

void ViewComparativeAnalysis::onPrint()
{
    ReportOutput::print(this, report());
}

void ViewComparativeAnalysis::onSavePdf()
{
    ReportOutput::saveAsPdf(this, report(), m_patient.name() + QStringLiteral(" - ") + tr("Title.comparativeAnalysis"));
}
