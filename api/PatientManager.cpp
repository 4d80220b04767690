#include "api/PatientManager.h"

#include "api/Controller.h"
#include "data/PatientModel.h"
#include "data/PatientPage.h"
#include "widgets/MessageBoxes.h"

#include <QDialog>
#include <QJsonDocument>
#include <QJsonObject>

PatientManager& PatientManager::instance()
{
    // Lives until the process ends, like the page it holds.
    static auto* manager = new PatientManager;
    return *manager;
}

PatientManager::PatientManager() : m_model(new PatientModel(this)) {}

void PatientManager::setPageSize(int size)
{
    if (size == m_pageSize)
        return;
    m_pageSize = size;
    m_model->setPageSize(size);
}

void PatientManager::loadFirstPage(QWidget* view)
{
    search(view, QStringLiteral("name"), QStringLiteral("asc"), 0, QStringLiteral("name"), QString());
}

void PatientManager::search(QWidget* view, const QString& sortBy, const QString& direction, int pageIndex,
                            const QString& searchBy, const QString& searchText)
{
    m_messageParent = view;
    const quint64 request = ++m_latestListRequest;
    auto* controller = new Controller(view);
    connect(controller, &Controller::onBytes, this, [this, request](const QByteArray& bytes) {
        if (request == m_latestListRequest)
            onSuccess(bytes);
    });
    connect(controller, &Controller::onError, this, [this, request](const QString& message) {
        if (request == m_latestListRequest)
            onError(message);
        else
            qInfo("A superseded patient list request failed: %s", qUtf8Printable(message));
    });
    controller->filterPatients(sortBy, direction, m_pageSize, pageIndex, searchBy, searchText);
}

void PatientManager::onSuccess(QByteArray bytes)
{
    // A page that can't be read is no empty page: the rows shown stay.
    const std::optional<PatientPage> page = PatientPage::fromJson(bytes);
    if (!page) {
        onError(tr("Text.unreadableAnswer"));
        return;
    }
    // The pagination follows the page count before the rows change.
    m_model->setPageCount(page->pageCount);
    m_model->clear();
    for (const Patient& patient : page->patients)
        m_model->append(patient);
}

void PatientManager::onError(QString message)
{
    showError(messageParent(), message);
}

void PatientManager::createPatient(QWidget* view, QDialog* form, const Patient& patient)
{
    m_messageParent = view;
    if (refusesForm(view, patient, true))
        return;
    const QPointer<QDialog> openForm(form);
    auto* controller = new Controller(form);
    connect(controller, &Controller::onBytes, this, [this, openForm](const QByteArray& bytes) {
        m_model->append(Patient(QJsonDocument::fromJson(bytes).object()));
        if (openForm) {
            openForm->accept();
            openForm->deleteLater();
        }
    });
    connect(controller, &Controller::onError, this, &PatientManager::onError);
    controller->createPatient(patient);
}

bool PatientManager::refusesForm(QWidget* view, const Patient& patient, bool nameRequired)
{
    if (nameRequired && patient.name().isEmpty()) {
        showError(view, tr("Text.invalidName"));
        return true;
    }
    // An invalid date would go out as an empty "birthDate", which the service
    // may store over the patient's real one.
    if (!patient.birthDate().isValid()) {
        showError(view, tr("Text.invalidBirthDate"));
        return true;
    }
    return false;
}

void PatientManager::editPatient(QWidget* view, QDialog* form, const Patient& patient)
{
    m_messageParent = view;
    // The name goes as the form left it; the service judges it.
    if (refusesForm(view, patient, false))
        return;
    const QPointer<QDialog> openForm(form);
    auto* controller = new Controller(view);
    connect(controller, &Controller::onBytes, this, [this, openForm](const QByteArray& bytes) {
        replacePatient(Patient(QJsonDocument::fromJson(bytes).object()));
        if (openForm)
            openForm->accept();
    });
    connect(controller, &Controller::onError, this, &PatientManager::onError);
    controller->editPatient(patient);
}

void PatientManager::removePatient(QWidget* widget, const Patient& patient)
{
    m_messageParent = widget;
    auto* controller = new Controller(widget);
    // The row is looked up when the service confirms: a list answer that came
    // in meanwhile may have moved the patient to another row or off the page.
    connect(controller, &Controller::onSuccess, this, [this, patient] {
        m_model->removeAt(m_model->indexOf(patient));
        emit onPatientDeleted();
    });
    const QPointer<QWidget> asker(widget);
    connect(controller, &Controller::onError, this, [asker](const QString& message) { showError(asker, message); });
    controller->removePatient(patient);
}

void PatientManager::removePatient(QWidget* widget, const QModelIndex& index)
{
    removePatient(widget, patientAt(index));
}

Patient PatientManager::patientAt(const QModelIndex& index) const
{
    return m_model->patientAt(index);
}

Patient PatientManager::patientById(const Patient& patient) const
{
    return m_model->patientById(patient.id());
}

void PatientManager::replacePatient(const Patient& patient)
{
    const int row = m_model->indexOf(patient);
    if (row >= 0)
        m_model->updateAt(m_model->index(row, 0), patient);
}
