#include "views/ViewPatients.h"

#include "api/PatientManager.h"
#include "base/AppConstants.h"
#include "data/PatientModel.h"
#include "views/FormPatient.h"
#include "views/PatientDelegate.h"
#include "views/ScreenHeading.h"
#include "widgets/KeyboardAccess.h"
#include "widgets/MessageBoxes.h"
#include "widgets/QPagination.h"

#include <QChildEvent>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int pageSize = 20;
constexpr int paginationHeight = 30;
const QSize paginationButtonSize(40, 40);

// The service's sort keys by table column; columns without one sort nothing.
QString sortKeyOfColumn(int column)
{
    switch (column) {
    case PatientModel::NameColumn:
        return QStringLiteral("name");
    case PatientModel::AgeColumn:
        return QStringLiteral("age");
    case PatientModel::GenderColumn:
        return QStringLiteral("gender");
    case PatientModel::LastRecordColumn:
        return QStringLiteral("record");
    case PatientModel::NotesColumn:
        return QStringLiteral("notes");
    default:
        return {};
    }
}

// Clicks on the number and picture columns neither sort nor reload.
bool isPictureOrNumberColumn(int column)
{
    return column == PatientModel::NumberColumn || column == PatientModel::DeviceColumn ||
           column == PatientModel::EditColumn || column == PatientModel::RemoveColumn;
}

} // namespace

ViewPatients::ViewPatients(QWidget* parent) : QWidget(parent)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    buildWidgets();
    setUpTable();

    connect(m_table, &QTableView::doubleClicked, this, &ViewPatients::onDoubleClick);
    connect(m_searchText, &QLineEdit::textChanged, this, &ViewPatients::onSearchChanged);
    connect(m_searchFields, qOverload<int>(&QComboBox::currentIndexChanged), this, &ViewPatients::reload);
    connect(m_header, &QHeaderView::sectionClicked, this, &ViewPatients::onHeaderClicked);
    connect(m_delegate, &PatientDelegate::editPress, this, &ViewPatients::onEditPress);
    connect(m_delegate, &PatientDelegate::removePress, this, &ViewPatients::onRemovePress);

    m_searchTimer.setInterval(AppConstants::searchDelayMs);
    // A coarse timer may fire 5% early; the search waits the full delay.
    m_searchTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_searchTimer, &QTimer::timeout, this, [this] {
        reload();
        m_searchTimer.stop();
    });

    setUpPagination();
    setUpKeys();
    retranslate();

    PatientManager& directory = PatientManager::instance();
    directory.setPageSize(pageSize);
    directory.loadFirstPage(this);
}

void ViewPatients::buildWidgets()
{
    m_heading = new ScreenHeading(this, {});
    auto* refresh = new QPushButton(QIcon(QStringLiteral(":/images/refresh.png")), QString(), this);
    refresh->setObjectName(QStringLiteral("buttonRefresh"));
    refresh->setMinimumSize(32, 24);
    connect(refresh, &QPushButton::clicked, this, &ViewPatients::onRefresh);

    m_heading->controls()->addWidget(refresh);

    auto* toolbar = new QFrame(this);
    toolbar->setObjectName(QStringLiteral("toolbarPatients"));
    auto* searchBox = new QGroupBox(toolbar);
    searchBox->setObjectName(QStringLiteral("searchBox"));
    m_searchFields = new QComboBox(searchBox);
    m_searchFields->setObjectName(QStringLiteral("comboBox"));
    m_searchFields->addItems({QString(), QString()});
    m_searchText = new QLineEdit(searchBox);
    m_searchText->setObjectName(QStringLiteral("searchField"));
    m_searchText->setClearButtonEnabled(true);
    m_searchText->setMinimumWidth(280);
    auto* searchLayout = new QHBoxLayout(searchBox);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->setSpacing(0);
    searchLayout->addWidget(m_searchFields);
    searchLayout->addWidget(m_searchText, 1);

    auto* newPatient = new QPushButton(QIcon(QStringLiteral(":/images/patient-create.png")), QString(), toolbar);
    newPatient->setObjectName(QStringLiteral("buttonNewPatient"));
    newPatient->setIconSize(QSize(22, 22));
    connect(newPatient, &QPushButton::clicked, this, &ViewPatients::onNewPatient);
    auto* toolbarLayout = new QHBoxLayout(toolbar);
    toolbarLayout->setContentsMargins(0, 0, 0, 0);
    toolbarLayout->addWidget(searchBox);
    toolbarLayout->addStretch();
    toolbarLayout->addWidget(newPatient);

    auto* tableBox = new QFrame(this);
    tableBox->setObjectName(QStringLiteral("tableBox"));
    m_table = new QTableView(tableBox);
    m_table->setObjectName(QStringLiteral("tableView"));
    auto* tableLayout = new QVBoxLayout(tableBox);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(m_table);

    m_pagination = new QPagination(this, paginationHeight);
    m_pagination->setObjectName(QStringLiteral("pagination"));

    QVBoxLayout* layout = ScreenHeading::screenColumn(this, m_heading);
    layout->addWidget(toolbar);
    layout->addWidget(tableBox, 1);
    layout->addWidget(m_pagination);
}

void ViewPatients::setUpTable()
{
    m_table->setModel(PatientManager::instance().model());
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setAlternatingRowColors(true);
    m_table->setMouseTracking(true);
    m_table->viewport()->setMouseTracking(true);
    m_table->setWordWrap(false);

    m_delegate = new PatientDelegate(m_table);
    for (int column :
         {PatientModel::DeviceColumn, PatientModel::GenderColumn, PatientModel::EditColumn, PatientModel::RemoveColumn})
        m_table->setItemDelegateForColumn(column, m_delegate);
    // The view passes the delegate no moves off its cells; watching them
    // takes the hover picture away when the pointer leaves.
    m_delegate->watch(m_table);

    // The model does not sort: the indicator only tells the service how to.
    m_header = m_table->horizontalHeader();
    m_header->setSortIndicator(PatientModel::NameColumn, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_sortSection = PatientModel::NameColumn;
    m_sortOrder = Qt::AscendingOrder;
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_header->setStretchLastSection(false);
    m_header->setHighlightSections(false);
    const std::pair<int, int> fixedWidths[] = {
        {PatientModel::NumberColumn, 45},      {PatientModel::DeviceColumn, 45}, {PatientModel::EditColumn, 45},
        {PatientModel::RemoveColumn, 45},      {PatientModel::AgeColumn, 100},   {PatientModel::GenderColumn, 100},
        {PatientModel::LastRecordColumn, 200},
    };
    for (const auto& [column, width] : fixedWidths)
        m_header->resizeSection(column, width);
    m_header->setSectionResizeMode(PatientModel::EditColumn, QHeaderView::Fixed);
    m_header->setSectionResizeMode(PatientModel::RemoveColumn, QHeaderView::Fixed);
    for (int column : {PatientModel::NameColumn, PatientModel::PhoneColumn, PatientModel::NotesColumn})
        m_header->setSectionResizeMode(column, QHeaderView::Stretch);

    QHeaderView* rows = m_table->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(40);
}

void ViewPatients::setUpKeys()
{
    pressWithKeys(findChild<QPushButton*>(QStringLiteral("buttonRefresh")), {QKeySequence::Refresh});
    pressWithKeys(findChild<QPushButton*>(QStringLiteral("buttonNewPatient")), {QKeySequence::New});
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        m_searchText->setFocus(Qt::ShortcutFocusReason);
        m_searchText->selectAll();
    });
    // The pictures at the end of a row have their keys on the focused row.
    keepFocusedRow(m_table);
    actOnFocusedRow(m_table, {Qt::Key_Return, Qt::Key_Enter}, [this](const QModelIndex& row) { onDoubleClick(row); });
    actOnFocusedRow(m_table, {Qt::Key_F2}, [this](const QModelIndex& row) { onEditPress(row); });
    actOnFocusedRow(m_table, {QKeySequence::Delete}, [this](const QModelIndex& row) { onRemovePress(row); });
}

void ViewPatients::setUpPagination()
{
    PatientModel* model = PatientManager::instance().model();
    m_pagination->setTotal(model->pageCount());
    m_pagination->setCurrent(1);
    m_pagination->setButtonSize(paginationButtonSize);
    m_pagination->build();
    connect(model, &PatientModel::pageCountChanghed, m_pagination, [this, model] {
        m_pagination->setPageCount(model->pageCount());
        // A search with fewer pages than the one shown sends the pagination
        // back to page 1 without a page change: the rows shown are still
        // those of the old page number (none, usually), so ask for page 1.
        if (m_pagination->currentPage() != model->currentPage()) {
            model->setCurrentPage(m_pagination->currentPage());
            reload();
        }
    });
    connect(m_pagination, &QPagination::onPageChange, this, [this](int currentPage) {
        PatientManager::instance().model()->setCurrentPage(currentPage);
        reload();
    });
    // A new list screen starts on page 1 while the directory may still hold
    // the rows of another page: number them as page 1 until the answer comes.
    model->setCurrentPage(1);
}

void ViewPatients::retranslate()
{
    setWindowTitle(tr("Title.patients"));
    m_heading->setTitle(tr("Text.listPatients"));
    namePictureButton(findChild<QPushButton*>(QStringLiteral("buttonRefresh")), tr("Text.refresh"));
    auto* newPatient = findChild<QPushButton*>(QStringLiteral("buttonNewPatient"));
    newPatient->setText(tr("Text.newPatient"));
    tellKeysInToolTip(newPatient);
    m_searchFields->setItemText(0, tr("Text.name"));
    m_searchFields->setItemText(1, tr("Text.notes"));
    m_searchText->setPlaceholderText(tr("Text.patientSearch"));
    m_searchText->setAccessibleName(tr("Text.patientSearch"));
    m_searchText->setToolTip(withKeys(tr("Text.patientSearch"), QKeySequence::Find));
    m_searchFields->setAccessibleName(tr("Text.searchIn"));
    setUpKeyboardTable(m_table, tr("Text.listPatients"));
    m_table->setAccessibleDescription(tr("Text.patientsTableKeys"));
}

void ViewPatients::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

// ---- Requests ----------------------------------------------------------------

QString ViewPatients::sortKey() const
{
    return sortKeyOfColumn(m_header->sortIndicatorSection());
}

QString ViewPatients::searchField() const
{
    switch (m_searchFields->currentIndex()) {
    case 0:
        return QStringLiteral("name");
    case 1:
        return QStringLiteral("notes");
    default:
        return {};
    }
}

void ViewPatients::reload()
{
    const QString sortBy = sortKey();
    QString direction;
    if (!sortBy.isEmpty())
        direction =
            m_header->sortIndicatorOrder() == Qt::DescendingOrder ? QStringLiteral("desc") : QStringLiteral("asc");
    const QString searchBy = searchField();
    const QString needle = searchBy.isEmpty() ? QString() : m_searchText->text().trimmed();
    PatientManager::instance().search(this, sortBy, direction, m_pagination->currentPage() - 1, searchBy, needle);
}

void ViewPatients::onHeaderClicked(int section)
{
    if (isPictureOrNumberColumn(section)) {
        // The header has already moved its indicator to that column; the rows
        // are still sorted as before, so the indicator goes back.
        m_header->setSortIndicator(m_sortSection, m_sortOrder);
        return;
    }
    m_sortSection = section;
    m_sortOrder = m_header->sortIndicatorOrder();
    reload();
}

void ViewPatients::onRefresh()
{
    reload();
}

void ViewPatients::screenReturned()
{
    reload();
}

void ViewPatients::onSearchChanged(const QString& text)
{
    Q_UNUSED(text)
    m_searchTimer.start();
}

// ---- Patients ----------------------------------------------------------------

void ViewPatients::onDoubleClick(const QModelIndex& index)
{
    Patient patient = PatientManager::instance().patientAt(index);
    emit onChoosePatient(patient);
}

void ViewPatients::runForm(Patient& patient, const std::function<void(Patient*)>& onSubmit)
{
    auto* form = new FormPatient;
    m_form = form;
    connect(form, &FormPatient::onSubmit, this, onSubmit);
    form->setPatient(&patient);
    form->exec();
    // The directory may have disposed of the form already.
    if (m_form)
        m_form->deleteLater();
}

void ViewPatients::onNewPatient()
{
    Patient patient;
    runForm(patient, [this](Patient* submitted) { onCreate(submitted); });
}

void ViewPatients::onCreate(Patient* patient)
{
    PatientManager::instance().createPatient(this, m_form, *patient);
}

void ViewPatients::onEditPress(const QModelIndex& index)
{
    Patient patient = PatientManager::instance().patientAt(index);
    runForm(patient, [this](Patient* submitted) { PatientManager::instance().editPatient(this, m_form, *submitted); });
}

void ViewPatients::onRemovePress(const QModelIndex& index)
{
    const Patient patient = PatientManager::instance().patientAt(index);
    if (confirmDeletePatient(this, patient.name()))
        PatientManager::instance().removePatient(this, patient);
}

// ---- Busy state ----------------------------------------------------------------

void ViewPatients::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    // A child is still being built when it is added, so its name is checked
    // again once it is polished.
    switch (event->type()) {
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
    case QEvent::ChildRemoved:
        updateBusyState();
        break;
    default:
        break;
    }
}

void ViewPatients::updateBusyState()
{
    if (!m_searchText)
        return;
    const bool busy = findChild<QWidget*>(QStringLiteral("LoadingWindow")) != nullptr;
    m_searchText->setReadOnly(busy);
}
