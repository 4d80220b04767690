#include "app/DialogLogin.h"

#include "api/Controller.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int fieldMaxLength = 200;

} // namespace

DialogLogin::DialogLogin(QWidget* parent) : OutcomeDialog(parent)
{
    setObjectName(QStringLiteral("DialogLogin"));
    buildWidgets();
    setWindowTitle(tr("Title.application"));
    // The main window is not on screen yet: nothing must hide the sign-in.
    place(360, 220);
}

void DialogLogin::buildWidgets()
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(14);

    auto* usernameLabel = new QLabel(this);
    usernameLabel->setObjectName(QStringLiteral("usernameLabel"));
    usernameLabel->setPixmap(QPixmap(QStringLiteral(":/images/login-as-user.png")));
    m_usernameField = new QLineEdit(this);
    m_usernameField->setObjectName(QStringLiteral("usernameField"));
    m_usernameField->setMaxLength(fieldMaxLength);
    layout->addWidget(usernameLabel, 0, 0);
    layout->addWidget(m_usernameField, 0, 1);

    auto* passwordLabel = new QLabel(this);
    passwordLabel->setObjectName(QStringLiteral("passwordLabel"));
    passwordLabel->setPixmap(QPixmap(QStringLiteral(":/images/login-password.png")));
    m_passwordField = new QLineEdit(this);
    m_passwordField->setObjectName(QStringLiteral("passwordField"));
    m_passwordField->setMaxLength(fieldMaxLength);
    m_passwordField->setEchoMode(QLineEdit::Password);
    layout->addWidget(passwordLabel, 1, 0);
    layout->addWidget(m_passwordField, 1, 1);

    m_buttonConfirm = new QPushButton(this);
    m_buttonConfirm->setObjectName(QStringLiteral("buttonConfirm"));
    m_buttonConfirm->setIcon(QIcon(QStringLiteral(":/images/login.png")));
    m_buttonConfirm->setDefault(true);
    layout->addWidget(m_buttonConfirm, 2, 0, 1, 2, Qt::AlignHCenter);

    connect(m_buttonConfirm, &QPushButton::clicked, this, &DialogLogin::onConfirm);
}

void DialogLogin::onConfirm()
{
    if (m_requestRunning)
        return;
    const QString username = m_usernameField->text();
    const QString password = m_passwordField->text();
    if (username.isEmpty() || password.isEmpty())
        return;

    m_requestRunning = true;
    m_buttonConfirm->setEnabled(false);
    // No overlay: the dialog is small and its disabled button says enough.
    auto* controller = new Controller;
    connect(controller, &Controller::onSuccess, this, &DialogLogin::onSuccess);
    connect(controller, &Controller::onError, this, &DialogLogin::onError);
    controller->login({{QStringLiteral("username"), username}, {QStringLiteral("password"), password}});
}

void DialogLogin::onSuccess()
{
    m_requestRunning = false;
    // The run ended when the practitioner gave up: a late answer is not reported.
    if (outcomeReported())
        return;
    succeed();
}

void DialogLogin::onError(QString message)
{
    m_requestRunning = false;
    if (outcomeReported())
        return;
    showFailure(tr("Text.error"), message);
    m_buttonConfirm->setEnabled(true);
}

void DialogLogin::closeEvent(QCloseEvent* event)
{
    // The toolkit turns closing a visible dialog into reject(), so the window
    // button and Escape report through the same place.
    OutcomeDialog::closeEvent(event);
}
