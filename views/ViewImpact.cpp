#include "views/ViewImpact.h"

#include "api/Controller.h"
#include "api/PatientManager.h"
#include "audio/ImpactAudio.h"
#include "audio/SensorId.h"
#include "data/ImpactModel.h"
#include "views/ImpactDelegate.h"
#include "views/ImpactDownload.h"
#include "views/ImpactDurationRule.h"
#include "views/ImpactStartGate.h"
#include "views/ImpactTargets.h"
#include "views/RecipeLeaving.h"
#include "views/ScreenHeading.h"
#include "views/TableBox.h"
#include "widgets/KeyboardAccess.h"
#include "widgets/MessageBoxes.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStringList>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QLabel* label(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    return label;
}

} // namespace

ViewImpact::ViewImpact(QWidget* parent, Patient& patient, Record& record, QList<Marker>& markers, bool changed)
    : QWidget(parent), m_patient(patient), m_record(record)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    buildWidgets();
    m_leaving = new RecipeLeaving(this, [this](Controller& controller) {
        controller.updateRecipe(m_patient, m_record, m_model->markers(), m_duration->value(), QString());
    });
    m_leaving->setChanged(changed);

    connect(m_listPatients, &QPushButton::clicked, this, &ViewImpact::backToPatientsList);
    connect(m_patientCard, &QPushButton::clicked, this, &ViewImpact::backToPatientCard);
    connect(m_back, &QPushButton::clicked, this, &ViewImpact::backToReceipt);
    connect(m_start, &QPushButton::clicked, this, &ViewImpact::onStart);
    connect(m_duration, qOverload<int>(&QSpinBox::valueChanged), this, &ViewImpact::onDurationChanged);

    m_model = new ImpactModel(this);
    m_model->setMarkers(markers);
    connect(m_model, &ImpactModel::onMarkerRemove, this, &ViewImpact::onRemoved);
    connect(m_model, &ImpactModel::onChangeOrder, this, [this] { m_leaving->setChanged(true); });
    setUpTable();

    connect(m_targets->targetBox(), qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ViewImpact::onTargetChanged);
    m_download = new ImpactDownload(this);
    connect(m_download, &ImpactDownload::finished, this, &ViewImpact::finishRun);
    retranslate();
    showDevice();

    // The rule runs once whatever the total, even 0, so that no label and
    // not Start's text are left empty.
    m_total = ImpactDurationRule::totalOf(m_model->markers());
    m_markersLabel->setText(tr("Text.totalMarkers").arg(m_total));
    applyDurationRule();
}

ViewImpact::~ViewImpact() = default;

void ViewImpact::buildWidgets()
{
    m_heading = new ScreenHeading(this, {{ScreenHeading::PatientsList, QStringLiteral("buttonListPatients")},
                                         {ScreenHeading::PatientCard, QStringLiteral("buttonPatientCard")},
                                         {ScreenHeading::Recipe, QStringLiteral("buttonBack")}});
    m_heading->setPatientName(m_patient.name());
    m_listPatients = m_heading->crumb(ScreenHeading::PatientsList);
    m_patientCard = m_heading->crumb(ScreenHeading::PatientCard);
    m_back = m_heading->crumb(ScreenHeading::Recipe);

    QFrame* tableBox = framedTable(QStringLiteral("tableViewBox"), this, m_table);

    m_targets = new ImpactTargets(this, m_patient.hasDevices());
    m_durationLabel = label(QStringLiteral("labelDuration"), this);
    m_duration = new QSpinBox(this);
    m_duration->setObjectName(QStringLiteral("spinBoxDuration"));
    m_duration->setMinimumWidth(90);
    m_durationLabel->setBuddy(m_duration);
    m_minutes = label(QStringLiteral("labelMinutes"), this);
    m_markersLabel = label(QStringLiteral("labelMarkers"), this);
    m_totalLabel = label(QStringLiteral("labelTotal"), this);
    m_start = new QPushButton(this);
    m_start->setObjectName(QStringLiteral("buttonStart"));
    m_startGate = std::make_unique<ImpactStartGate>(m_start);
    auto* controls = new QHBoxLayout;
    controls->setSpacing(12);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_targets->targetBox(), m_targets->commandBox(), m_durationLabel, m_duration,
                                         m_minutes, m_markersLabel, m_totalLabel})
        controls->addWidget(widget);
    controls->addStretch();
    controls->addWidget(m_start);

    QVBoxLayout* layout = ScreenHeading::screenColumn(this, m_heading);
    layout->addWidget(tableBox, 1);
    layout->addLayout(controls);
}

void ViewImpact::setUpTable()
{
    m_delegate = new ImpactDelegate(m_table);
    m_table->setModel(m_model);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(40);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setMouseTracking(true);
    m_table->viewport()->setMouseTracking(true);
    m_table->setAlternatingRowColors(true);
    for (int column : {ImpactModel::UpColumn, ImpactModel::DownColumn, ImpactModel::RemoveColumn})
        m_table->setItemDelegateForColumn(column, m_delegate);
    // A move or a removal resets the model; the columns keep their widths.
    connect(m_model, &ImpactModel::modelReset, this, &ViewImpact::applyColumns);
    applyColumns();

    ImpactDelegate::actByKeys(m_table, m_model);
}

void ViewImpact::applyColumns()
{
    if (m_model->columnCount() == 0)
        return;
    QHeaderView* header = m_table->horizontalHeader();
    header->setMinimumSectionSize(1);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->resizeSection(ImpactModel::NumberColumn, 50);
    for (int column : {ImpactModel::UpColumn, ImpactModel::DownColumn, ImpactModel::RemoveColumn})
        header->resizeSection(column, m_delegate->picture(column).width() + 2);
    header->setSectionResizeMode(ImpactModel::TitleColumn, QHeaderView::Stretch);
}

void ViewImpact::retranslate()
{
    m_heading->setTitle(tr("Text.recipe").arg(m_patient.name(), m_record.recordedAt()));
    setUpKeyboardTable(m_table, tr("Text.impactMarkers"));
    m_table->setAccessibleDescription(tr("Text.impactTableKeys"));
    m_minutes->setText(tr("Text.minutes"));
    m_targets->retranslate();
}

void ViewImpact::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && m_model) {
        retranslate();
        m_markersLabel->setText(tr("Text.totalMarkers").arg(m_total));
        applyDurationRule();
    }
    QWidget::changeEvent(event);
}

void ViewImpact::showDevice()
{
    m_heading->setDevice(m_patient.deviceIcon(), m_patient.hasDevices());
}

ViewImpact::Target ViewImpact::currentTarget() const
{
    return m_targets->current();
}

ImpactWavSaver* ViewImpact::wavSaver() const
{
    return m_download->saver();
}

bool ViewImpact::isChanged() const
{
    return m_leaving->changed();
}

// ---- Duration ----------------------------------------------------------------

void ViewImpact::updateTotals()
{
    const int total = ImpactDurationRule::totalOf(m_model->markers());
    if (total == m_total)
        return;
    m_total = total;
    m_markersLabel->setText(tr("Text.totalMarkers").arg(m_total));
    applyDurationRule();
}

void ViewImpact::onDurationChanged()
{
    applyDurationRule();
}

void ViewImpact::onTargetChanged()
{
    applyDurationRule();
}

void ViewImpact::applyDurationRule()
{
    const Target target = currentTarget();
    const bool perMarker = target == Download;
    {
        // Raising the minimum may move the value; the rule goes on with it here.
        const QSignalBlocker blocker(m_duration);
        m_duration->setRange(ImpactDurationRule::minimumMinutes(perMarker, m_total), ImpactDurationRule::maxMinutes);
    }
    const int minutes = m_duration->value();
    m_repetitions = ImpactDurationRule::repetitions(perMarker, minutes, m_total);
    m_durationLabel->setText(perMarker ? tr("Text.durationPerMarker") : tr("Text.durationInMinutes"));
    m_start->setText(perMarker ? tr("Text.save") : tr("Text.start"));
    m_totalLabel->setText(tr("Text.totalTime").arg(ImpactDurationRule::totalMinutes(perMarker, minutes, m_total)));
    m_targets->commandBox()->setVisible(target == Box);
}

// ---- Markers -----------------------------------------------------------------

void ViewImpact::onRemoved(const QString& id)
{
    m_leaving->setChanged(true);
    emit onMarkerRemove(id);
    updateTotals();
    if (m_model->rowCount() == 0)
        emit onBack();
}

// ---- Start -------------------------------------------------------------------

void ViewImpact::onStart()
{
    const QList<Marker> markers = m_model->markers();
    if (m_startGate->running() || markers.isEmpty())
        return;
    Run run;
    run.target = currentTarget();
    run.minutes = m_duration->value();
    run.repetitions = m_repetitions;
    run.markers = markers;
    m_lastRun = run;
    m_startGate->begin();

    auto* controller = new Controller(this);
    connect(controller, &Controller::onError, this, &ViewImpact::onError);
    if (run.target == Box) {
        connect(controller, &Controller::onSuccess, this, [this, run] { onBoxSent(run); });
        controller->updateRecipe(m_patient, m_record, markers, run.minutes, m_targets->command());
    } else {
        connect(controller, &Controller::onBytes, this,
                [this, run](const QByteArray& bytes) { handleAudio(run, bytes); });
        controller->createRecipe(m_patient, m_record, markers, run.minutes, sensorId());
    }
}

void ViewImpact::onSuccess(const QByteArray& bytes)
{
    handleAudio(m_lastRun, bytes);
}

void ViewImpact::handleAudio(const Run& run, const QByteArray& bytes)
{
    // The service saved the recipe with the audio.
    markersSaved(run);
    m_samples = QByteArray();
    switch (run.target) {
    case Sensor:
        play(bytes, run.repetitions);
        break;
    case Download:
        m_download->save(bytes, run.repetitions);
        break;
    case Box:
        finishRun();
        break;
    }
}

void ViewImpact::play(const QByteArray& bytes, int repetitions)
{
    ImpactAudio audio = ImpactAudio::assembleReply(bytes, repetitions);
    finishRun();
    if (!audio.ok()) {
        showError(this, audio.errorText());
        return;
    }
    m_samples = audio.takeSamples();
    emit onPlay(m_samples, m_patient.name());
}

void ViewImpact::markersSaved(const Run& run)
{
    // A reply handed in without a Start saved nothing of this screen's.
    if (run.markers.isEmpty())
        return;
    const auto ids = [](const QList<Marker>& markers) {
        QStringList list;
        for (const Marker& marker : markers)
            list.append(marker.id());
        return list;
    };
    // A move or removal made while the service answered is still to be saved.
    m_leaving->setChanged(ids(m_model->markers()) != ids(run.markers));
    emit onMarkersSaved(run.markers);
}

void ViewImpact::onBoxSent(const Run& run)
{
    // The command word becomes RECIPE whichever command was sent, as the
    // device reports it.
    m_patient.startRecipeCommand();
    PatientManager::instance().replacePatient(m_patient);
    showDevice();
    markersSaved(run);
    finishRun();
    emit onPatientChanged(m_patient);
    showSuccess(this, tr("Text.recipeCommandSuccess"));
}

void ViewImpact::onError(QString message)
{
    finishRun();
    showError(this, message);
}

void ViewImpact::finishRun()
{
    m_startGate->end();
}

void ViewImpact::onPlayerState(bool active)
{
    m_startGate->setPlayerActive(active);
}

// ---- Leaving -----------------------------------------------------------------

void ViewImpact::backToReceipt()
{
    emit onBack();
}

void ViewImpact::backToPatientsList()
{
    m_leaving->leave([this] { emit onPatientsList(); });
}

void ViewImpact::backToPatientCard()
{
    m_leaving->leave([this] { emit onPatientCard(); });
}

bool ViewImpact::confirmLeave()
{
    return m_leaving->confirmLeave([this] { emit onReadyToLeave(); });
}
