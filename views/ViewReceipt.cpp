#include "views/ViewReceipt.h"

#include "api/Controller.h"
#include "data/Category.h"
#include "data/ReceiptModel.h"
#include "data/ServiceAnswer.h"
#include "views/ReceiptTable.h"
#include "views/RecipeLeaving.h"
#include "views/ScreenHeading.h"
#include "views/TableBox.h"
#include "widgets/KeyboardAccess.h"
#include "widgets/MessageBoxes.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int controlHeight = 40;

} // namespace

ViewReceipt::ViewReceipt(QWidget* parent, Patient& patient, Record& record)
    : QWidget(parent), m_patient(patient), m_record(record)
{
    registerDomainMetaTypes();
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    buildWidgets();
    m_model = new ReceiptModel(this);
    m_tableSetup = new ReceiptTable(m_table, m_model);
    m_leaving = new RecipeLeaving(this, [this](Controller& controller) {
        controller.updateRecipe(m_patient, m_record, m_recipe.markers(), 0, QString());
    });

    m_analyse->setEnabled(false);
    m_receipt->setEnabled(false);
    connect(m_analyse, &QPushButton::clicked, this, &ViewReceipt::onAnalyse);
    connect(m_receipt, &QPushButton::clicked, this, &ViewReceipt::receipt);
    connect(m_listPatients, &QPushButton::clicked, this, &ViewReceipt::backToPatientsList);
    connect(m_back, &QPushButton::clicked, this, &ViewReceipt::backToPatient);
    connect(m_categories, qOverload<int>(&QComboBox::currentIndexChanged), this, &ViewReceipt::onCategoryChanged);
    connect(m_model, &ReceiptModel::onSelect, this, &ViewReceipt::onSelection);

    retranslate();
    showDevice();
    loadRecipe();
}

void ViewReceipt::buildWidgets()
{
    m_heading = new ScreenHeading(this, {{ScreenHeading::PatientsList, QStringLiteral("buttonListPatients")},
                                         {ScreenHeading::PatientCard, QStringLiteral("buttonBack")}});
    m_heading->setPatientName(m_patient.name());
    m_listPatients = m_heading->crumb(ScreenHeading::PatientsList);
    m_back = m_heading->crumb(ScreenHeading::PatientCard);

    m_categories = new QComboBox(this);
    m_categories->setObjectName(QStringLiteral("comboBoxCategories"));
    m_storages = new QComboBox(this);
    m_storages->setObjectName(QStringLiteral("comboBoxStorages"));
    m_analyse = new QPushButton(this);
    m_analyse->setObjectName(QStringLiteral("buttonAnalyse"));
    m_receipt = new QPushButton(this);
    m_receipt->setObjectName(QStringLiteral("buttonReceipt"));
    auto* controls = new QHBoxLayout;
    for (QComboBox* combo : {m_categories, m_storages}) {
        combo->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
        combo->setMinimumHeight(controlHeight);
        controls->addWidget(combo);
    }
    m_analyse->setMinimumHeight(controlHeight);
    m_receipt->setMinimumHeight(controlHeight);
    controls->addWidget(m_analyse);
    controls->addStretch();
    controls->addWidget(m_receipt);

    m_contents = new QLabel(this);
    m_contents->setObjectName(QStringLiteral("labelTableContents"));
    m_contents->setWordWrap(true);
    m_contents->hide();
    QFrame* tableBox = framedTable(QStringLiteral("tableViewBox"), this, m_table);

    QVBoxLayout* layout = ScreenHeading::screenColumn(this, m_heading);
    layout->addLayout(controls);
    layout->addWidget(m_contents);
    layout->addWidget(tableBox, 1);

    // Tab follows the page from the bread crumbs at its top.
    QWidget::setTabOrder(m_listPatients, m_back);
    QWidget::setTabOrder(m_back, m_categories);
}

void ViewReceipt::retranslate()
{
    m_heading->setTitle(tr("Text.createRecipe").arg(m_patient.name(), m_record.recordedAt()));
    m_analyse->setText(tr("Text.load"));
    m_receipt->setText(tr("Text.receipt"));
    m_contents->setText(tr("Text.savedRecipeShown"));
    setUpKeyboardTable(m_table, tr("Text.recipeMarkers"));
    m_table->setAccessibleDescription(tr("Text.recipeTableKeys"));
}

void ViewReceipt::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void ViewReceipt::showDevice()
{
    m_heading->setDevice(m_patient.deviceIcon(), m_patient.hasDevices());
}

void ViewReceipt::updatePatient(const Patient& patient)
{
    if (patient.id() != m_patient.id())
        return;
    m_patient = patient;
    showDevice();
}

// ---- Loading -----------------------------------------------------------------

void ViewReceipt::loadRecipe()
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, &ViewReceipt::onLoadRecipe);
    connect(controller, &Controller::onError, this, &ViewReceipt::onLoadFailed);
    controller->getRecipe(m_patient, m_record);
}

void ViewReceipt::loadCategories()
{
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, &ViewReceipt::onLoadSuccess);
    connect(controller, &Controller::onError, this, &ViewReceipt::onLoadFailed);
    controller->correctiveCategories(m_patient);
}

void ViewReceipt::onLoadRecipe(const QByteArray& bytes)
{
    if (m_stage != Stage::Recipe)
        return;
    // A recipe that can't be read is no empty recipe: saving over it would
    // lose it. The chain stops here, and the load button asks again.
    const std::optional<QJsonArray> saved = ServiceAnswer::array(bytes);
    if (!saved) {
        onLoadFailed(ServiceAnswer::unreadableText());
        return;
    }
    const Recipe recipe = Recipe::fromArray(*saved);
    for (const Marker& marker : recipe.markers())
        m_recipe.append(marker);
    updateReceiptButton();
    // Shown at once: a saved recipe is no empty table until Load is pressed.
    if (!m_recipe.isEmpty())
        showSavedRecipe();
    m_stage = Stage::Categories;
    loadCategories();
}

void ViewReceipt::onLoadSuccess(const QByteArray& bytes)
{
    if (m_stage != Stage::Categories)
        return;
    const std::optional<QJsonArray> categories = ServiceAnswer::array(bytes);
    if (!categories) {
        onLoadFailed(ServiceAnswer::unreadableText());
        return;
    }
    m_stage = Stage::Ready;
    m_analyse->setEnabled(true);
    for (const QJsonValue& value : *categories) {
        const Category category(value.toObject());
        m_categories->addItem(category.title(), QVariant::fromValue(category));
    }
}

// Shown like any failure, and the load button then asks again from the step
// that failed: the recipe comes first, so that a save never drops markers
// saved before.
void ViewReceipt::onLoadFailed(const QString& message)
{
    m_analyse->setEnabled(true);
    onError(message);
}

void ViewReceipt::onCategoryChanged(int index)
{
    m_storages->clear();
    const Category category = m_categories->itemData(index).value<Category>();
    for (const Storage& storage : category.storages())
        m_storages->addItem(storage.title(), QVariant::fromValue(storage));
}

// ---- Analysis ----------------------------------------------------------------

void ViewReceipt::onAnalyse()
{
    switch (m_stage) {
    case Stage::Recipe:
        loadRecipe();
        return;
    case Stage::Categories:
        loadCategories();
        return;
    case Stage::Ready:
        break;
    }
    const QVariant current = m_storages->currentData();
    if (!current.canConvert<Storage>())
        return;
    const Storage storage = current.value<Storage>();
    m_analysedStorage = storage;
    const quint64 request = ++m_latestAnalysis;

    const QJsonObject body{{QStringLiteral("patientId"), m_patient.id()},
                           {QStringLiteral("storageId"), storage.id()},
                           {QStringLiteral("records"), QJsonArray{m_record.id()}}};
    auto* controller = new Controller(this);
    // The reply is shown for the storage it was asked for, whatever the combo
    // box shows by then, and only if no later analysis was asked for.
    connect(controller, &Controller::onBytes, this, [this, request, storage](const QByteArray& bytes) {
        if (request == m_latestAnalysis)
            showAnalysis(bytes, storage);
    });
    connect(controller, &Controller::onError, this, &ViewReceipt::onError);
    controller->analyse(QJsonDocument(body).toJson());
}

void ViewReceipt::onAnalyseSuccess(const QByteArray& bytes)
{
    showAnalysis(bytes, m_analysedStorage);
}

void ViewReceipt::showAnalysis(const QByteArray& bytes, const Storage& storage)
{
    const std::optional<QJsonObject> answer =
        ServiceAnswer::object(bytes, {{QLatin1String("rows"), QJsonValue::Array}});
    if (!answer) {
        onError(ServiceAnswer::unreadableText());
        return;
    }
    m_model->setAnalysis(answer->value(QLatin1String("rows")).toArray(), m_recipe);
    m_shown = Shown::Analysis;
    m_contents->hide();
    m_tableSetup->showColumns(!storage.frequencies(), storage.frequencies());
}

void ViewReceipt::showSavedRecipe()
{
    m_model->setMarkers(m_recipe.markers(), m_recipe);
    m_shown = Shown::SavedRecipe;
    m_contents->show();
    // Its markers come from storages of either kind.
    m_tableSetup->showColumns(true, true);
}

// ---- The recipe --------------------------------------------------------------

bool ViewReceipt::isChanged() const
{
    return m_leaving->changed();
}

void ViewReceipt::setChanged()
{
    m_leaving->setChanged(true);
}

void ViewReceipt::updateReceiptButton()
{
    m_receipt->setEnabled(!m_recipe.isEmpty());
}

void ViewReceipt::onSelection(Marker& marker)
{
    if (marker.selected())
        m_recipe.append(marker);
    else
        m_recipe.removeFirst(marker.id());
    updateReceiptButton();
    setChanged();
}

void ViewReceipt::markerRemove(QString id)
{
    m_model->removeMarker(id);
    m_recipe.removeFirst(id);
    setChanged();
    updateReceiptButton();
}

void ViewReceipt::markersSaved(const QList<Marker>& markers)
{
    m_leaving->setChanged(false);
    setRecipe(markers);
}

void ViewReceipt::setRecipe(const QList<Marker>& markers)
{
    // Built aside first: the markers may be the recipe's own.
    Recipe recipe;
    for (const Marker& marker : markers)
        recipe.append(marker);
    m_recipe = recipe;
    updateReceiptButton();
    if (m_shown == Shown::SavedRecipe)
        showSavedRecipe();
    else
        m_model->tick(m_recipe);
}

void ViewReceipt::screenReturned()
{
    // Changes not saved yet stay as they are: leaving asks about them.
    if (m_stage == Stage::Recipe || isChanged() || m_leaving->saving())
        return;
    auto* controller = new Controller(this);
    connect(controller, &Controller::onBytes, this, [this](const QByteArray& bytes) {
        const std::optional<QJsonArray> saved = ServiceAnswer::array(bytes);
        if (saved && !isChanged())
            setRecipe(Recipe::fromArray(*saved).markers());
    });
    // Nothing was asked for: the screen keeps what it shows, and says nothing.
    connect(controller, &Controller::onError, this, [](const QString& message) {
        qWarning("The recipe could not be read again: %s", qUtf8Printable(message));
    });
    controller->getRecipe(m_patient, m_record);
}

void ViewReceipt::receipt()
{
    if (m_recipe.isEmpty())
        return;
    QList<Marker> markers = m_recipe.markers();
    emit onReceipt(m_patient, m_record, markers, isChanged());
}

// ---- Leaving -----------------------------------------------------------------

void ViewReceipt::backToPatientsList()
{
    m_leaving->leave([this] { emit onPatientsList(); });
}

void ViewReceipt::backToPatient()
{
    m_leaving->leave([this] { emit onBack(); });
}

bool ViewReceipt::confirmLeave()
{
    return m_leaving->confirmLeave([this] { emit onReadyToLeave(); });
}

void ViewReceipt::onError(QString message)
{
    showError(this, message);
}
