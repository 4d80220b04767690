#include "widgets/OutcomeDialog.h"

#include "widgets/MessageBoxes.h"
#include "widgets/ScreenPlacement.h"

#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

OutcomeDialog::OutcomeDialog(QWidget* parent) : QDialog(parent) {}

void OutcomeDialog::place(int width, int height)
{
    setFixedSize(width, height);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setModal(true);
    centreOnFirstScreen(*this, QGuiApplication::screens());
}

void OutcomeDialog::reject()
{
    reportOutcome(false);
    QDialog::reject();
}

void OutcomeDialog::succeed()
{
    reportOutcome(true);
    accept();
}

void OutcomeDialog::showFailure(const QString& title, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, title, message, QMessageBox::Ok, this);
    // As in the shared message boxes, the button shows its text alone.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    MessageBoxRunner::run(box);
}

void OutcomeDialog::showEvent(QShowEvent* event)
{
    // A dialog shown again starts a new run with an outcome of its own.
    if (!event->spontaneous())
        m_outcomeReported = false;
    QDialog::showEvent(event);
}

void OutcomeDialog::reportOutcome(bool success)
{
    if (m_outcomeReported)
        return;
    m_outcomeReported = true;
    emit listener(success);
}
