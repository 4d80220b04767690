#include "views/ViewComparativeAnalysis.h"

#include "api/Controller.h"
#include "data/ServiceAnswer.h"
#include "views/ComparativeChart.h"
#include "widgets/KeyboardAccess.h"
#include "widgets/MessageBoxes.h"
#include "widgets/PrintedReport.h"
#include "widgets/ReportOutput.h"

#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLegend>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QValueAxis>

using namespace QtCharts;

namespace {

// The charts in their order, with the key of the options each one takes.
struct ChartKeys
{
    const char* data;
    const char* options;
};
constexpr ChartKeys chartKeys[] = {
    {"graph1", nullptr}, {"graph2", nullptr}, {"summary", "smooth"}, {"complaints", nullptr}};

// The charts take this share of the width they are shown in; at less, the
// legend cuts the longer (Russian) names at the window's default size.
constexpr double containerShare = 0.9;
constexpr int chartsPerPage = 2;

QJsonObject member(const QJsonObject& object, const char* key)
{
    return key ? object.value(QLatin1String(key)).toObject() : QJsonObject();
}

// Draws a chart of the answer into a page area, built afresh at that size.
void paintChart(QPainter& painter, const QRectF& area, const QJsonObject& data, const QJsonObject& options)
{
    QGraphicsScene scene;
    QChart* chart = ComparativeChart::build(data, options);
    scene.addItem(chart);
    // Fonts in report units, whatever the printer's resolution.
    const QFont labels = ReportPageFrame::font(10);
    chart->legend()->setFont(labels);
    for (QAbstractAxis* axis : chart->axes())
        axis->setLabelsFont(labels);
    chart->setGeometry(QRectF(QPointF(0, 0), area.size()));
    chart->layout()->activate();
    scene.render(&painter, area, QRectF(QPointF(0, 0), area.size()));
}

} // namespace

ViewComparativeAnalysis::ViewComparativeAnalysis(const Patient& patient, const QList<Record>& records, QWidget* parent)
    : QWidget(parent), m_patient(patient), m_records(records)
{
    buildWidgets();
    retranslate();
    connect(m_heading.listPatients, &QPushButton::clicked, this, &ViewComparativeAnalysis::backToPatientsList);
    connect(m_heading.back, &QPushButton::clicked, this, &ViewComparativeAnalysis::backToPatient);
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
    m_heading = ScreenHeading::build(this, QStringLiteral("label"));
    m_print = new QPushButton(this);
    m_print->setObjectName(QStringLiteral("buttonPrint"));
    m_savePdf = new QPushButton(this);
    m_savePdf->setObjectName(QStringLiteral("buttonSavePdf"));
    pressWithKeys(m_print, {QKeySequence::Print});
    pressWithKeys(m_savePdf, {QKeySequence::Save});
    m_heading.tabToCrumbsAfter(m_savePdf);
    // Nothing to print before the charts came.
    m_print->setEnabled(false);
    m_savePdf->setEnabled(false);
    m_heading.titleRow->addWidget(m_print);
    m_heading.titleRow->addWidget(m_savePdf);

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

    auto* layout = new QGridLayout(this);
    layout->addLayout(m_heading.titleRow, 0, 0);
    layout->addWidget(m_heading.breadCrumbs, 1, 0);
    layout->addWidget(m_scrollArea, 2, 0);
    layout->setRowStretch(2, 1);
}

void ViewComparativeAnalysis::retranslate()
{
    m_heading.setTexts(tr("Title.comparativeAnalysis"), tr("Text.listOfPatients"), tr("Text.patientCard"),
                       m_patient.name());
    m_print->setText(tr("Text.print"));
    m_savePdf->setText(tr("Text.savePdf"));
    tellKeysInToolTip(m_print);
    tellKeysInToolTip(m_savePdf);
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
    qDeleteAll(m_views);
    m_views.clear();
    auto* column = static_cast<QVBoxLayout*>(m_container->layout());
    for (const ChartKeys& keys : chartKeys) {
        auto* view = new QChartView(
            ComparativeChart::build(member(m_answer, keys.data), member(m_answer, keys.options)), m_container);
        view->setObjectName(QStringLiteral("chartView_") + QLatin1String(keys.data));
        view->setRenderHint(QPainter::Antialiasing);
        view->setStyleSheet(QStringLiteral("background:transparent"));
        view->setAttribute(Qt::WA_TranslucentBackground, true);
        view->setAttribute(Qt::WA_OpaquePaintEvent, false);
        view->setBackgroundBrush(QBrush(Qt::transparent, Qt::SolidPattern));
        view->setMinimumHeight(250);
        column->addWidget(view, 1);
        m_views.append(view);
    }
    fitContainerWidth();
    m_print->setEnabled(true);
    m_savePdf->setEnabled(true);
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
    for (const ChartKeys& keys : chartKeys) {
        const QJsonObject graph = member(m_answer, keys.data);
        const QJsonObject options = member(m_answer, keys.options);
        report.addPicture(chartsPerPage, [graph, options](QPainter& painter, const QRectF& area) {
            paintChart(painter, area, graph, options);
        });
    }
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
