#include "support/ModalDialogDriver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

void whenModalAppears(std::function<void(QWidget*)> action, int timeoutMs)
{
    auto* poll = new QTimer(qApp);
    const QDeadlineTimer deadline(timeoutMs);
    QWidget* modalBefore = QApplication::activeModalWidget();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, deadline, modalBefore, action, timeoutMs] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool appeared = modal && modal != modalBefore && modal->isVisible();
        if (!appeared && !deadline.hasExpired())
            return;
        poll->stop();
        poll->deleteLater();
        if (appeared)
            action(modal);
        else
            qWarning("whenModalAppears: no modal dialog appeared in %d ms", timeoutMs);
    });
    poll->start(10);
}
