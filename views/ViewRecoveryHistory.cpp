#include "views/ViewRecoveryHistory.h"

#include "api/Controller.h"
#include "data/ServiceAnswer.h"
#include "views/RecipeLeaving.h"
#include "views/SymptomDelegate.h"
#include "views/SymptomModel.h"
#include "views/TableBox.h"
#include "views/TableHeadings.h"
#include "views/ValueSortProxy.h"
#include "widgets/KeyboardAccess.h"
#include "widgets/MessageBoxes.h"
#include "widgets/StatusNote.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

ViewRecoveryHistory::ViewRecoveryHistory(const Patient& patient, const QList<Record>& records, QWidget* parent)
    : QWidget(parent), m_patient(patient), m_records(records)
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("menuSymptoms"));
    m_newSymptomAction = m_menu->addAction(QString());
    m_newSymptomAction->setObjectName(QStringLiteral("actionNewSymptom"));
    m_removeSymptomAction = m_menu->addAction(QString());
    m_removeSymptomAction->setObjectName(QStringLiteral("actionRemoveSymptom"));
    buildWidgets();
    setUpTable();
    m_leaving = new RecipeLeaving(
        this, [this](Controller& controller) { controller.saveQuestionnaire(m_patient, m_model->saveJson(m_table)); },
        [this] { return askYesNo(this, tr("Text.saving"), tr("Text.confirmSave")); });
    setAttribute(Qt::WA_DeleteOnClose);
    retranslate();
    updateActions();

    connect(m_heading->crumb(ScreenHeading::PatientsList), &QPushButton::clicked, this,
            &ViewRecoveryHistory::backToPatientsList);
    connect(m_heading->crumb(ScreenHeading::PatientCard), &QPushButton::clicked, this,
            &ViewRecoveryHistory::backToPatient);
    connect(m_save, &QPushButton::clicked, this, &ViewRecoveryHistory::onSave);
    connect(m_newSymptom, &QPushButton::clicked, this, &ViewRecoveryHistory::onNewSymptom);
    connect(m_refresh, &QPushButton::clicked, this, &ViewRecoveryHistory::onRefresh);
    // Modified only by real changes: a cancelled new-symptom dialog changes nothing.
    connect(m_model, &SymptomModel::onChange, this, [this] { m_leaving->setChanged(true); });
    connect(m_model, &SymptomModel::modelReset, this, &ViewRecoveryHistory::updateActions);
    for (auto signal : {&QTableView::clicked, &QTableView::activated})
        connect(m_table, signal, m_table, qOverload<const QModelIndex&>(&QTableView::edit));
    connect(m_table, &QTableView::customContextMenuRequested, this,
            &ViewRecoveryHistory::on_tableView_customContextMenuRequested);
    connect(m_newSymptomAction, &QAction::triggered, this, &ViewRecoveryHistory::onNewSymptom);
    connect(m_removeSymptomAction, &QAction::triggered, this,
            [this] { m_model->removeSymptomRow(m_removeSymptomAction->data().toInt()); });

    load();
}

ViewRecoveryHistory::~ViewRecoveryHistory() = default;

void ViewRecoveryHistory::buildWidgets()
{
    resize(719, 517);
    m_heading = new ScreenHeading(this, {{ScreenHeading::PatientsList, QStringLiteral("buttonListPatients")},
                                         {ScreenHeading::PatientCard, QStringLiteral("buttonBack")}});
    m_heading->setPatientName(m_patient.name());
    m_refresh = new QPushButton(QIcon(QStringLiteral(":/images/refresh.png")), QString(), this);
    m_refresh->setObjectName(QStringLiteral("buttonRefresh"));
    m_refresh->setMinimumSize(32, 24);
    m_refresh->setIconSize(QSize(20, 20));

    m_newSymptom = new QPushButton(this);
    m_newSymptom->setObjectName(QStringLiteral("buttonNewSymptom"));
    m_heading->controls()->addWidget(m_newSymptom);
    m_heading->controls()->addWidget(m_refresh);
    pressWithKeys(m_refresh, {QKeySequence::Refresh});
    pressWithKeys(m_newSymptom, {QKeySequence::New});

    QFrame* tableBox = framedTable(QStringLiteral("tableViewBox"), this, m_table);

    m_save = new QPushButton(this);
    m_save->setObjectName(QStringLiteral("buttonSave"));
    pressWithKeys(m_save, {QKeySequence::Save});
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch();
    saveRow->addWidget(m_save);

    QVBoxLayout* column = ScreenHeading::screenColumn(this, m_heading);
    column->addWidget(tableBox, 1);
    column->addLayout(saveRow);
}

void ViewRecoveryHistory::setUpTable()
{
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    // A level is chosen on purpose: a click, Enter or F2 opens the list.
    // Moving to a cell opens nothing, so the wheel over it scrolls the table.
    m_table->setEditTriggers(QAbstractItemView::EditKeyPressed);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_model = new SymptomModel(m_table);
    m_delegate = new SymptomDelegate(m_table);
    // By name or by level; the two totals stay on top.
    m_proxy = new ValueSortProxy(m_table, Qt::EditRole, 2);
    m_proxy->setSourceModel(m_model);
    m_table->setModel(m_proxy);
    m_table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_table->setSortingEnabled(true);
    m_table->setItemDelegate(m_delegate);
    m_table->setMouseTracking(true);
    m_table->verticalHeader()->hide();
    allowTwoLineHeadings(m_table->horizontalHeader());
    m_table->setColumnWidth(0, 130);
    m_table->setAlternatingRowColors(true);
}

void ViewRecoveryHistory::retranslate()
{
    m_heading->setTitle(tr("Title.historyOfRecovery"), m_patient.name());
    namePictureButton(m_refresh, tr("Text.refresh"));
    m_newSymptom->setText(tr("Text.newSymptom"));
    m_save->setText(tr("Text.save"));
    tellKeysInToolTip(m_newSymptom);
    tellKeysInToolTip(m_save);
    setUpKeyboardTable(m_table, tr("Title.historyOfRecovery"));
    m_table->setAccessibleDescription(tr("Text.symptomsTableKeys"));
    m_newSymptomAction->setText(tr("Text.newSymptom"));
    m_removeSymptomAction->setText(tr("Text.removeSymptom"));
}

void ViewRecoveryHistory::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

// A symptom holds an intensity per date: with no dates it would hold nothing
// and be lost on saving, so none can be added.
void ViewRecoveryHistory::updateActions()
{
    const bool hasDates = m_model->table().dateCount() > 0;
    m_newSymptom->setEnabled(hasDates);
    m_newSymptomAction->setEnabled(hasDates);
}

void ViewRecoveryHistory::load()
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, &ViewRecoveryHistory::onLoadSuccess);
    connect(controller, &Controller::onError, this, &ViewRecoveryHistory::onError);
    controller->loadQuestionnaire(m_patient, m_records);
}

void ViewRecoveryHistory::onLoadSuccess(const QByteArray& body)
{
    // An answer that can't be read is no empty history: what is shown stays.
    const std::optional<QJsonObject> answer = ServiceAnswer::object(
        body, {{QLatin1String("dates"), QJsonValue::Object}, {QLatin1String("rows"), QJsonValue::Array}});
    if (!answer) {
        onError(ServiceAnswer::unreadableText());
        return;
    }
    m_model->load(*answer);
    m_leaving->setChanged(false);
    QHeaderView* header = m_table->horizontalHeader();
    for (int section = 1; section < header->count(); ++section)
        header->setSectionResizeMode(section, QHeaderView::Stretch);
    m_table->resizeColumnToContents(0);
}

void ViewRecoveryHistory::onRefresh()
{
    if (isModified() && !askYesNo(this, tr("Text.refresh"), tr("Text.confirmDiscard")))
        return;
    load();
}

void ViewRecoveryHistory::onError(const QString& message)
{
    showError(this, message);
}

QString ViewRecoveryHistory::nameProblemText(const QString& name) const
{
    switch (m_model->table().nameProblem(name)) {
    case SymptomsTable::NameProblem::None:
        return {};
    case SymptomsTable::NameProblem::Blank:
        return tr("Text.symptomNameBlank");
    case SymptomsTable::NameProblem::TooLong:
        return tr("Text.symptomNameTooLong").arg(SymptomsTable::maxNameLength);
    case SymptomsTable::NameProblem::OnlyDigits:
        return tr("Text.symptomNameDigits");
    case SymptomsTable::NameProblem::Taken:
        return tr("Text.symptomNameTaken").arg(name.trimmed());
    }
    return {};
}

void ViewRecoveryHistory::onNewSymptom()
{
    if (m_model->table().dateCount() == 0)
        return;
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("dialogNewSymptom"));
    dialog.setWindowTitle(tr("Text.newSymptom"));
    dialog.setLabelText(tr("Text.symptomName"));
    dialog.setOkButtonText(tr("Text.save"));
    dialog.setCancelButtonText(tr("Text.cancel"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = dialog.textValue();
    const QString problem = nameProblemText(name);
    if (!problem.isEmpty()) {
        showError(this, problem);
        return;
    }
    Symptom symptom;
    symptom.custom = true;
    // Blanks around a name are never meant, and would make two names look alike.
    symptom.name = name.trimmed();
    m_model->addSymptom(symptom);
}

void ViewRecoveryHistory::on_tableView_customContextMenuRequested(const QPoint& pos)
{
    const QModelIndex index = m_proxy->mapToSource(m_table->indexAt(pos));
    m_removeSymptomAction->setEnabled(false);
    if (index.isValid()) {
        m_removeSymptomAction->setEnabled(m_model->table().isCustom(index.row()));
        m_removeSymptomAction->setData(index.row());
    }
    m_menu->popup(m_table->viewport()->mapToGlobal(pos));
}

bool ViewRecoveryHistory::isModified() const
{
    return m_leaving->changed();
}

void ViewRecoveryHistory::onSave()
{
    // The service answers a save with its status alone: the note says what it took.
    m_leaving->save([this] { showStatusNote(this, tr("Text.historySaved").arg(m_patient.name())); });
}

void ViewRecoveryHistory::leave(void (ViewRecoveryHistory::*signal)())
{
    m_leaving->leave([this, signal] { emit(this->*signal)(); });
}

bool ViewRecoveryHistory::confirmLeave()
{
    return m_leaving->confirmLeave([this] { emit onReadyToLeave(); });
}

void ViewRecoveryHistory::backToPatientsList()
{
    leave(&ViewRecoveryHistory::onPatientsList);
}

void ViewRecoveryHistory::backToPatient()
{
    leave(&ViewRecoveryHistory::onBack);
}
