#pragma once

#include "api/Controller.h"

#include <QPointer>
#include <QStringList>

// What one controller reported; the controller itself is watched so a test
// can tell that it cleaned up after reporting.
class ControllerOutcome : public QObject
{
public:
    explicit ControllerOutcome(Controller* controller) : m_controller(controller)
    {
        connect(controller, &Controller::onBytes, this, [this](const QByteArray& value) {
            signalNames << QStringLiteral("onBytes");
            bytes = value;
        });
        connect(controller, &Controller::onSuccess, this, [this] { signalNames << QStringLiteral("onSuccess"); });
        connect(controller, &Controller::onError, this, [this](const QString& value) {
            signalNames << QStringLiteral("onError");
            message = value;
        });
    }

    bool reported() const { return !signalNames.isEmpty(); }
    bool controllerGone() const { return m_controller.isNull(); }

    QStringList signalNames;
    QByteArray bytes;
    QString message;

private:
    QPointer<Controller> m_controller;
};
