#include "views/PatientDeviceActions.h"

#include "api/Controller.h"
#include "api/PatientManager.h"
#include "data/Patient.h"
#include "data/Record.h"
#include "views/DialogManageDevices.h"
#include "widgets/MessageBoxes.h"

PatientDeviceActions::PatientDeviceActions(QWidget* card, Patient& patient)
    : QObject(card), m_card(card), m_patient(patient)
{}

void PatientDeviceActions::changed(const QString& successMessage)
{
    PatientManager::instance().replacePatient(m_patient);
    emit patientChanged();
    if (m_dialog && m_dialog->isVisible())
        m_dialog->showPatient(m_patient);
    showSuccess(m_card, successMessage);
}

void PatientDeviceActions::refused(const QString& message)
{
    if (m_dialog && m_dialog->isVisible())
        m_dialog->showRefusal(message);
    else
        emit error(message);
}

void PatientDeviceActions::manage()
{
    auto* dialog = new DialogManageDevices(m_card, m_patient);
    m_dialog = dialog;
    connect(dialog, &DialogManageDevices::listenerConnect, this, &PatientDeviceActions::connectDevice);
    connect(dialog, &DialogManageDevices::listenerDisconnect, this, &PatientDeviceActions::disconnectDevice);
    connect(dialog, &DialogManageDevices::listenerToggle, this, &PatientDeviceActions::toggleDevice);
    dialog->exec();
    dialog->deleteLater();
}

void PatientDeviceActions::connectDevice(const QString& sensorId)
{
    auto* controller = new Controller(m_card);
    connect(controller, &Controller::onSuccess, this, [this] {
        // The service binds a device enabled: a toggle afterwards blocks it.
        m_patient.setHasDevices(true);
        m_patient.setEnabled(true);
        changed(tr("Text.deviceConnectSuccess"));
    });
    connect(controller, &Controller::onError, this, &PatientDeviceActions::refused);
    controller->connectDevice(m_patient, sensorId);
}

void PatientDeviceActions::disconnectDevice()
{
    auto* controller = new Controller(m_card);
    connect(controller, &Controller::onSuccess, this, [this] {
        m_patient.setHasDevices(false);
        changed(tr("Text.deviceDisconnectSuccess"));
    });
    connect(controller, &Controller::onError, this, &PatientDeviceActions::refused);
    controller->disconnectDevice(m_patient);
}

void PatientDeviceActions::toggleDevice()
{
    auto* controller = new Controller(m_card);
    connect(controller, &Controller::onSuccess, this, [this] {
        m_patient.toggleEnabled();
        changed(tr("Text.deviceStatusChangeSuccess"));
    });
    connect(controller, &Controller::onError, this, &PatientDeviceActions::refused);
    controller->toggleDevice(m_patient);
}

void PatientDeviceActions::sendCommand(const QString& command, const Record* record)
{
    auto* controller = new Controller(m_card);
    connect(controller, &Controller::onSuccess, this, [this] {
        // Every command the card sends starts a recording on the device.
        m_patient.startRecordCommand();
        changed(tr("Text.commandSuccess"));
    });
    connect(controller, &Controller::onError, this, &PatientDeviceActions::error);
    controller->sendCommand(m_patient, command, record);
}

void PatientDeviceActions::deleteCommand()
{
    if (!askYesNo(m_card, tr("Text.deleteCommandTitle"), tr("Text.deleteCommandMessage")))
        return;
    auto* controller = new Controller(m_card);
    connect(controller, &Controller::onSuccess, this, [this] {
        m_patient.clearCommand();
        changed(tr("Text.deleteCommandSuccess"));
    });
    connect(controller, &Controller::onError, this, &PatientDeviceActions::error);
    controller->deleteCommand(m_patient);
}
