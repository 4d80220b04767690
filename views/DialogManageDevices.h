#pragma once

#include <QDialog>
#include <QTimer>

class Patient;
class QLabel;
class QPushButton;

// Binds the attached sensor to the patient as their remote device, unbinds
// it, or blocks and unblocks it. It sends nothing itself: the patient card
// makes the requests the signals ask for.
class DialogManageDevices : public QDialog
{
    Q_OBJECT

public:
    DialogManageDevices(QWidget* parent, const Patient& patient);

    // The device as the service now has it, after a request succeeded: every
    // action it allows can be taken again.
    void showPatient(const Patient& patient);
    // The service refused the request: its reason stays shown, and the
    // practitioner may try again.
    void showRefusal(const QString& message);

signals:
    // The identifier of the attached sensor.
    void listenerConnect(QString sensorId);
    void listenerDisconnect();
    void listenerToggle();

public slots:
    void onConnect();
    void onDisconnect();
    void onToggle();

private:
    void buildWidgets();

    // Whether a device is bound and whether it is blocked, in words.
    QLabel* m_labelState = nullptr;
    QLabel* m_labelError = nullptr;
    QPushButton* m_buttonToggle = nullptr;
    QPushButton* m_buttonConnect = nullptr;
    QPushButton* m_buttonDisconnect = nullptr;
    bool m_hasDevice = false;
    // Takes the "no sensor" message away and lets the practitioner try again;
    // a member, so it is cancelled when the dialog goes first.
    QTimer m_errorTimer;
};
