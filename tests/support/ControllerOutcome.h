#pragma once

#include "api/Controller.h"

#include <QPointer>
#include <QStringList>
#include <QTest>

#include <functional>
#include <memory>

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

    // Runs one call on a new controller and waits, up to 20 s, until it has
    // reported and cleaned up after itself.
    static std::unique_ptr<ControllerOutcome> of(const std::function<void(Controller&)>& operation)
    {
        auto* controller = new Controller;
        auto outcome = std::make_unique<ControllerOutcome>(controller);
        operation(*controller);
        if (!QTest::qWaitFor([&] { return outcome->reported() && outcome->controllerGone(); }, 20000))
            qWarning("the call did not end within 20 s");
        return outcome;
    }

    bool reported() const { return !signalNames.isEmpty(); }
    bool controllerGone() const { return m_controller.isNull(); }

    QStringList signalNames;
    QByteArray bytes;
    QString message;

private:
    QPointer<Controller> m_controller;
};
