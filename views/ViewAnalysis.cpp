#include "views/ViewAnalysis.h"

#include "api/Controller.h"
#include "data/AnalysisModel.h"
#include "data/Category.h"
#include "data/ServiceAnswer.h"
#include "data/SummaryTableModel.h"
#include "views/AnalysisDelegate.h"
#include "views/TableHeadings.h"
#include "views/ValueSortProxy.h"
#include "widgets/KeyboardAccess.h"
#include "widgets/MessageBoxes.h"
#include "widgets/PrintedReport.h"
#include "widgets/ReportOutput.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int summaryTab = 0;
constexpr int markersTab = 1;

// The summary and the marker analysis: objects whose "columns" and "rows",
// when there, are lists.
std::optional<QJsonObject> tableAnswer(const QByteArray& body)
{
    return ServiceAnswer::object(
        body, {{QLatin1String("columns"), QJsonValue::Array}, {QLatin1String("rows"), QJsonValue::Array}});
}

QFrame* tableBox(const QString& name, QWidget* parent, QTableView* table)
{
    auto* box = new QFrame(parent);
    box->setObjectName(name);
    box->setFrameShape(QFrame::StyledPanel);
    box->setFrameShadow(QFrame::Raised);
    table->setParent(box);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table);
    return box;
}

} // namespace

ViewAnalysis::ViewAnalysis(const Patient& patient, const QList<Record>& records, QWidget* parent)
    : QWidget(parent), m_patient(patient), m_records(records)
{
    registerDomainMetaTypes();
    buildWidgets();
    m_categoriesLoaded = false;
    m_tabs->setCurrentIndex(summaryTab);
    retranslate();

    m_analysisModel = new AnalysisModel(this);
    m_summaryModel = new SummaryTableModel(this);
    m_analysisProxy = new ValueSortProxy(this);
    m_analysisProxy->setSourceModel(m_analysisModel);
    m_summaryProxy = new ValueSortProxy(this);
    m_summaryProxy->setSourceModel(m_summaryModel);
    m_delegate = new AnalysisDelegate(this);
    setUpTable(m_summaryTable, m_summaryProxy);
    setUpTable(m_analysisTable, m_analysisProxy);
    m_analysisTable->setItemDelegate(m_delegate);

    connect(m_tabs, &QTabWidget::currentChanged, this, &ViewAnalysis::onTabChanged);
    connect(m_heading->crumb(ScreenHeading::PatientsList), &QPushButton::clicked, this,
            &ViewAnalysis::backToPatientsList);
    connect(m_heading->crumb(ScreenHeading::PatientCard), &QPushButton::clicked, this, &ViewAnalysis::backToPatient);
    connect(m_analyse, &QPushButton::clicked, this, &ViewAnalysis::onAnalyse);
    connect(m_categories, qOverload<int>(&QComboBox::currentIndexChanged), this, &ViewAnalysis::onCategoryChanged);
    connect(m_storages, qOverload<int>(&QComboBox::currentIndexChanged), this, &ViewAnalysis::updateAnalyseButton);
    connect(m_print, &QPushButton::clicked, this, &ViewAnalysis::onPrint);
    connect(m_savePdf, &QPushButton::clicked, this, &ViewAnalysis::onSavePdf);
    updateAnalyseButton();

    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, &ViewAnalysis::onSummarySuccess);
    connect(controller, &Controller::onError, this, &ViewAnalysis::onError);
    controller->summary(requestBody());
}

ViewAnalysis::~ViewAnalysis() = default;

void ViewAnalysis::buildWidgets()
{
    resize(912, 659);
    m_heading = new ScreenHeading(this, {{ScreenHeading::PatientsList, QStringLiteral("buttonListPatients")},
                                         {ScreenHeading::PatientCard, QStringLiteral("buttonBack")}});
    m_heading->setPatientName(m_patient.name());
    m_print = new QPushButton(this);
    m_print->setObjectName(QStringLiteral("buttonPrint"));
    m_savePdf = new QPushButton(this);
    m_savePdf->setObjectName(QStringLiteral("buttonSavePdf"));
    pressWithKeys(m_print, {QKeySequence::Print});
    pressWithKeys(m_savePdf, {QKeySequence::Save});
    m_heading->controls()->addWidget(m_print);
    m_heading->controls()->addWidget(m_savePdf);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabWidget"));
    QFont tabFont = m_tabs->tabBar()->font();
    tabFont.setPointSize(15);
    tabFont.setWeight(QFont::Bold);
    m_tabs->tabBar()->setFont(tabFont);

    auto* summaryPage = new QWidget;
    summaryPage->setObjectName(QStringLiteral("tab1"));
    m_summaryTable = new QTableView;
    m_summaryTable->setObjectName(QStringLiteral("summaryTableView"));
    auto* summaryLayout = new QVBoxLayout(summaryPage);
    summaryLayout->addWidget(tableBox(QStringLiteral("tableViewBox"), summaryPage, m_summaryTable));
    m_tabs->addTab(summaryPage, QString());

    auto* markersPage = new QWidget;
    markersPage->setObjectName(QStringLiteral("tab2"));
    m_categories = new QComboBox(markersPage);
    m_categories->setObjectName(QStringLiteral("comboBoxCategories"));
    m_storages = new QComboBox(markersPage);
    m_storages->setObjectName(QStringLiteral("comboBoxStorages"));
    for (QComboBox* combo : {m_categories, m_storages}) {
        // The names come after the screen shows, and in either language: the
        // width follows them, or a long storage name is cut.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
        combo->setMinimumHeight(40);
    }
    m_analyse = new QPushButton(markersPage);
    m_analyse->setObjectName(QStringLiteral("buttonAnalyse"));
    m_analyse->setMinimumHeight(40);
    auto* choiceRow = new QHBoxLayout;
    choiceRow->addWidget(m_categories);
    choiceRow->addWidget(m_storages);
    choiceRow->addWidget(m_analyse);
    choiceRow->addStretch();
    m_analysisTable = new QTableView;
    m_analysisTable->setObjectName(QStringLiteral("analysisTableView"));
    auto* markersLayout = new QVBoxLayout(markersPage);
    markersLayout->addLayout(choiceRow);
    markersLayout->addWidget(tableBox(QStringLiteral("tableViewBox1"), markersPage, m_analysisTable));
    m_tabs->addTab(markersPage, QString());

    ScreenHeading::screenColumn(this, m_heading)->addWidget(m_tabs, 1);
}

void ViewAnalysis::setUpTable(QTableView* table, QSortFilterProxyModel* proxy)
{
    table->setModel(proxy);
    // The service's order until a heading is clicked.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->setMouseTracking(true);
    table->verticalHeader()->hide();
    allowTwoLineHeadings(table->horizontalHeader());
    table->setColumnWidth(0, 140);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
}

void ViewAnalysis::retranslate()
{
    m_heading->setTitle(tr("Title.analysis"), m_patient.name());
    m_tabs->setTabText(summaryTab, tr("Text.tabSummaryTable"));
    m_tabs->setTabText(markersTab, tr("Text.tabMarkersAnalysis"));
    m_analyse->setText(tr("Text.analyse"));
    m_print->setText(tr("Text.print"));
    m_savePdf->setText(tr("Text.savePdf"));
    setUpKeyboardTable(m_summaryTable, tr("Text.tabSummaryTable"));
    setUpKeyboardTable(m_analysisTable, tr("Text.tabMarkersAnalysis"));
    tellKeysInToolTip(m_print);
    tellKeysInToolTip(m_savePdf);
}

void ViewAnalysis::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

QByteArray ViewAnalysis::requestBody() const
{
    const QVariant current = m_storages->currentData();
    const QString storageId = current.canConvert<Storage>() ? current.value<Storage>().id() : QString();
    QJsonArray records;
    for (const Record& record : m_records)
        records.append(record.id());
    const QJsonObject body{{QStringLiteral("patientId"), m_patient.id()},
                           {QStringLiteral("storageId"), storageId},
                           {QStringLiteral("records"), records}};
    return QJsonDocument(body).toJson();
}

// The service refuses an analysis without a storage, so there is none to ask for.
void ViewAnalysis::updateAnalyseButton()
{
    const QVariant current = m_storages->currentData();
    m_analyse->setEnabled(current.canConvert<Storage>() && !current.value<Storage>().id().isEmpty());
}

void ViewAnalysis::onTabChanged(int index)
{
    if (index != markersTab || m_categoriesLoaded)
        return;
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, &ViewAnalysis::onLoadSuccess);
    connect(controller, &Controller::onError, this, [this](const QString& message) {
        m_categoriesLoaded = false;
        onError(message);
    });
    controller->diagnosticCategories(m_patient);
    m_categoriesLoaded = true;
}

void ViewAnalysis::onLoadSuccess(const QByteArray& body)
{
    // A catalogue that can't be read is asked for again on the next visit.
    const std::optional<QJsonArray> categories = ServiceAnswer::array(body);
    if (!categories) {
        m_categoriesLoaded = false;
        onError(ServiceAnswer::unreadableText());
        return;
    }
    for (const QJsonValue& value : *categories) {
        const Category category(value.toObject());
        m_categories->addItem(category.title(), QVariant::fromValue(category));
    }
    // The first storage is analysed at once: the tab doesn't sit empty
    // until the button is found.
    if (m_analysisModel->rowCount() == 0 && m_analyse->isEnabled())
        onAnalyse();
}

void ViewAnalysis::onCategoryChanged(int index)
{
    m_storages->clear();
    const Category category = m_categories->itemData(index).value<Category>();
    for (const Storage& storage : category.storages())
        m_storages->addItem(storage.title(), QVariant::fromValue(storage));
    updateAnalyseButton();
}

void ViewAnalysis::onAnalyse()
{
    const QString storage = m_categories->currentText() + QStringLiteral(" / ") + m_storages->currentText();
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, [this, storage](const QByteArray& body) {
        if (showAnalysis(body))
            m_analysedStorage = storage;
    });
    connect(controller, &Controller::onError, this, &ViewAnalysis::onError);
    controller->analyse(requestBody());
}

void ViewAnalysis::onAnalyseSuccess(const QByteArray& body)
{
    showAnalysis(body);
}

bool ViewAnalysis::showAnalysis(const QByteArray& body)
{
    const std::optional<QJsonObject> answer = tableAnswer(body);
    if (!answer) {
        onError(ServiceAnswer::unreadableText());
        return false;
    }
    m_analysisModel->load(*answer);
    fitColumns(m_analysisTable);
    return true;
}

void ViewAnalysis::onSummarySuccess(const QByteArray& body)
{
    const std::optional<QJsonObject> answer = tableAnswer(body);
    if (!answer) {
        onError(ServiceAnswer::unreadableText());
        return;
    }
    m_summaryModel->load(*answer);
    fitColumns(m_summaryTable);
}

void ViewAnalysis::fitColumns(QTableView* table)
{
    QHeaderView* header = table->horizontalHeader();
    for (int section = 1; section < header->count(); ++section)
        header->setSectionResizeMode(section, QHeaderView::Stretch);
    table->resizeColumnToContents(0);
}

void ViewAnalysis::onError(const QString& message)
{
    showError(this, message);
}

void ViewAnalysis::backToPatientsList()
{
    emit onPatientsList();
}

void ViewAnalysis::backToPatient()
{
    emit onBack();
}

// ---- Print and PDF -------------------------------------------------------------

PrintedReport ViewAnalysis::report() const
{
    PrintedReport report(reportHeadingOf(tr("Title.analysis"), m_patient, m_records));
    report.addTable(tr("Text.tabSummaryTable"), *m_summaryProxy);
    if (m_analysisProxy->rowCount() > 0)
        report.addTable(tr("Text.tabMarkersAnalysis") + QStringLiteral(": ") + m_analysedStorage, *m_analysisProxy,
                        m_delegate);
    return report;
}

void ViewAnalysis::onPrint()
{
    ReportOutput::print(this, report());
}

void ViewAnalysis::onSavePdf()
{
    ReportOutput::saveAsPdf(this, report(), m_patient.name() + QStringLiteral(" - ") + tr("Title.analysis"));
}
