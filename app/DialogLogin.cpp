#include "app/DialogLogin.h"

#include "app/MessageBoxes.h"
#include "net/Controller.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace {

constexpr int fieldMaxLength = 200;

} // namespace

DialogLogin::DialogLogin(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogLogin"));
    buildWidgets();
    setWindowTitle(tr("Title.application"));
    setFixedSize(360, 220);
    // The main window is not on screen yet: nothing must hide the sign-in.
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setModal(true);
    const QRect screen = QGuiApplication::screens().constFirst()->geometry();
    move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2);
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
    if (m_outcomeReported)
        return;
    reportOutcome(true);
    accept();
}

void DialogLogin::onError(QString message)
{
    m_requestRunning = false;
    if (m_outcomeReported)
        return;
    QMessageBox box(QMessageBox::Critical, tr("Text.error"), message, QMessageBox::Ok, this);
    // As in the shared message boxes, the button shows its text alone.
    box.button(QMessageBox::Ok)->setIcon(QIcon());
    MessageBoxRunner::run(box);
    m_buttonConfirm->setEnabled(true);
}

void DialogLogin::reject()
{
    reportOutcome(false);
    QDialog::reject();
}

void DialogLogin::closeEvent(QCloseEvent* event)
{
    // The toolkit turns closing a visible dialog into reject(), so the window
    // button and Escape report through the same place.
    QDialog::closeEvent(event);
}

void DialogLogin::showEvent(QShowEvent* event)
{
    // A dialog shown again starts a new run with an outcome of its own.
    if (!event->spontaneous())
        m_outcomeReported = false;
    QDialog::showEvent(event);
}

void DialogLogin::reportOutcome(bool success)
{
    if (m_outcomeReported)
        return;
    m_outcomeReported = true;
    emit listener(success);
}
