#pragma once

#include "views/ViewImpact.h"

#include <QObject>

class QComboBox;

// Where the impact screen's Start sends the impact: the choice of target
// (the sensor, a WAV file, or the patient's remote device when there is one)
// and, for the remote device, of the command it runs.
class ImpactTargets : public QObject
{
    Q_OBJECT

public:
    ImpactTargets(QWidget* screen, bool hasDevices);

    QComboBox* targetBox() const { return m_targets; }
    QComboBox* commandBox() const { return m_commands; }
    ViewImpact::Target current() const;
    // The command word the remote device is sent.
    QString command() const;
    void retranslate();

private:
    QComboBox* m_targets = nullptr;
    QComboBox* m_commands = nullptr;
};
