#include "app/DialogChangePassword.h"

#include "api/Controller.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

DialogChangePassword::DialogChangePassword(QWidget* parent) : OutcomeDialog(parent)
{
    setObjectName(QStringLiteral("DialogChangePassword"));
    buildWidgets();
    setWindowTitle(tr("Text.changePassword"));
    place(400, 180);
}

void DialogChangePassword::buildWidgets()
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(8);

    m_oldPasswordField = addPasswordRow(layout, 0, QStringLiteral("labelOldPassword"), tr("Text.oldPassword"),
                                        QStringLiteral("oldPasswordField"));
    m_newPasswordField = addPasswordRow(layout, 1, QStringLiteral("labelPassword"), tr("Text.password"),
                                        QStringLiteral("newPasswordField"));
    m_repeatPasswordField = addPasswordRow(layout, 2, QStringLiteral("labelPasswordRepeat"), tr("Text.passwordRepeat"),
                                           QStringLiteral("repeatPasswordField"));

    auto* buttonCancel = new QPushButton(tr("Text.cancel"), this);
    buttonCancel->setObjectName(QStringLiteral("buttonCancel"));
    buttonCancel->setAutoDefault(false);
    m_buttonConfirm = new QPushButton(tr("Text.confirm"), this);
    m_buttonConfirm->setObjectName(QStringLiteral("buttonConfirm"));
    m_buttonConfirm->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonCancel);
    buttons->addWidget(m_buttonConfirm);
    layout->addLayout(buttons, 3, 0, 1, 2);

    connect(buttonCancel, &QPushButton::clicked, this, &DialogChangePassword::onCancel);
    connect(m_buttonConfirm, &QPushButton::clicked, this, &DialogChangePassword::onConfirm);
}

QLineEdit* DialogChangePassword::addPasswordRow(QGridLayout* layout, int row, const QString& labelName,
                                                const QString& labelText, const QString& fieldName)
{
    auto* label = new QLabel(labelText, this);
    label->setObjectName(labelName);
    auto* field = new QLineEdit(this);
    field->setObjectName(fieldName);
    field->setEchoMode(QLineEdit::Password);
    // The label names the field to a screen reader too.
    label->setBuddy(field);
    layout->addWidget(label, row, 0);
    layout->addWidget(field, row, 1);
    return field;
}

void DialogChangePassword::onConfirm()
{
    if (m_requestRunning)
        return;
    const QString oldPassword = m_oldPasswordField->text();
    const QString newPassword = m_newPasswordField->text();
    const QString repeatPassword = m_repeatPasswordField->text();
    if (oldPassword.isEmpty() || newPassword.isEmpty() || repeatPassword.isEmpty())
        return;

    m_requestRunning = true;
    m_buttonConfirm->setEnabled(false);
    // Whether the two new passwords agree is for the service to say.
    auto* controller = new Controller(this);
    m_request = controller;
    connect(controller, &Controller::onSuccess, this, &DialogChangePassword::onSuccess);
    connect(controller, &Controller::onError, this, &DialogChangePassword::onError);
    controller->changePassword({{QStringLiteral("oldPassword"), oldPassword},
                                {QStringLiteral("newPassword"), newPassword},
                                {QStringLiteral("repeatPassword"), repeatPassword}});
}

void DialogChangePassword::onCancel()
{
    reject();
}

void DialogChangePassword::onSuccess()
{
    m_requestRunning = false;
    succeed();
}

void DialogChangePassword::onError(QString message)
{
    m_requestRunning = false;
    showFailure(tr("Text.error"), message);
    m_buttonConfirm->setEnabled(true);
}

void DialogChangePassword::reject()
{
    // Giving up ends a running request too: waiting up to the read time-out
    // with no way out is worse than not knowing whether the service made the
    // change (if it did, the next request says that the session has ended).
    if (m_requestRunning && m_request)
        m_request->abort();
    m_requestRunning = false;
    m_buttonConfirm->setEnabled(true);
    OutcomeDialog::reject();
}

void DialogChangePassword::closeEvent(QCloseEvent* event)
{
    // The toolkit turns closing a visible dialog into reject(), and ignores
    // the close when reject() left the dialog open.
    OutcomeDialog::closeEvent(event);
}
