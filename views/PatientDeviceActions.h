#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class DialogManageDevices;
class Patient;
class QWidget;
class Record;

// What the card does with the patient's remote device: bind, unbind, block
// and unblock it from the device dialog, send it a command and delete its
// command. Each success changes the card's patient as the service now has
// it and hands it to the patient directory, so the list row follows.
class PatientDeviceActions : public QObject
{
    Q_OBJECT

public:
    // The patient is the card's own, changed in place on each success.
    PatientDeviceActions(QWidget* card, Patient& patient);

    // Runs the device dialog; its choices go to the requests below.
    void manage();
    void connectDevice(const QString& sensorId);
    void disconnectDevice();
    void toggleDevice();
    void sendCommand(const QString& command, const Record* record);
    // Asks first.
    void deleteCommand();

signals:
    // The card's patient changed; the success message follows.
    void patientChanged();
    void error(const QString& message);

private:
    void changed(const QString& successMessage);
    // While the device dialog is open, its requests' outcomes show there.
    void refused(const QString& message);

    QWidget* m_card;
    Patient& m_patient;
    QPointer<DialogManageDevices> m_dialog;
};
