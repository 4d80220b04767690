#include "app/LockScreen.h"

#include "api/Controller.h"

#include <QApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

LockScreen::LockScreen(const QString& username, QWidget* window)
    : QDialog(window, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_username(username)
{
    setObjectName(QStringLiteral("LockScreen"));
    // Above every dialog that was open when the window locked.
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildWidgets();
}

void LockScreen::buildWidgets()
{
    // The panel sits in the middle; stretches around it rather than an
    // alignment, so that its wrapped texts get the height they need.
    auto* outer = new QGridLayout(this);
    outer->setRowStretch(0, 1);
    outer->setRowStretch(2, 1);
    outer->setColumnStretch(0, 1);
    outer->setColumnStretch(2, 1);
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("widgetLockPanel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setFixedWidth(420);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->setSpacing(12);

    auto* logo = new QLabel(panel);
    logo->setObjectName(QStringLiteral("labelLogo"));
    logo->setPixmap(
        QPixmap(QStringLiteral(":/images/logo.png")).scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    logo->setAlignment(Qt::AlignCenter);

    auto* title = new QLabel(tr("Text.windowLocked"), panel);
    title->setObjectName(QStringLiteral("labelTitle"));
    title->setAlignment(Qt::AlignCenter);
    auto* explanation = new QLabel(tr("Text.unlockExplanation").arg(m_username), panel);
    explanation->setObjectName(QStringLiteral("labelExplanation"));
    explanation->setWordWrap(true);
    explanation->setAlignment(Qt::AlignCenter);

    m_passwordField = new QLineEdit(panel);
    m_passwordField->setObjectName(QStringLiteral("passwordField"));
    m_passwordField->setEchoMode(QLineEdit::Password);
    m_passwordField->setMaxLength(200);
    m_passwordField->setPlaceholderText(tr("Text.password"));
    m_passwordField->setAccessibleName(tr("Text.password"));

    m_labelError = new QLabel(panel);
    m_labelError->setObjectName(QStringLiteral("labelError"));
    m_labelError->setWordWrap(true);
    m_labelError->setAlignment(Qt::AlignCenter);
    m_labelError->hide();

    m_buttonUnlock = new QPushButton(tr("Text.unlock"), panel);
    m_buttonUnlock->setObjectName(QStringLiteral("buttonConfirm"));
    m_buttonUnlock->setIcon(QIcon(QStringLiteral(":/images/login.png")));
    m_buttonUnlock->setDefault(true);

    layout->addWidget(logo);
    layout->addWidget(title);
    layout->addWidget(explanation);
    layout->addWidget(m_passwordField);
    layout->addWidget(m_labelError);
    layout->addWidget(m_buttonUnlock, 0, Qt::AlignHCenter);
    outer->addWidget(panel, 1, 1);

    connect(m_buttonUnlock, &QPushButton::clicked, this, &LockScreen::onConfirm);
}

void LockScreen::cover()
{
    QWidget* window = parentWidget();
    setGeometry(window ? window->frameGeometry() : QRect(0, 0, 800, 600));
    show();
    raise();
    activateWindow();
    m_passwordField->setFocus();
}

void LockScreen::reject()
{
    // Escape does not take the lock away.
}

void LockScreen::onConfirm()
{
    const QString password = m_passwordField->text();
    if (password.isEmpty() || m_checking)
        return;
    m_checking = true;
    m_buttonUnlock->setEnabled(false);
    auto* controller = new Controller;
    // The answer renews the account's token too: the unlocked window carries on
    // with a fresh sign-in.
    connect(controller, &Controller::onSuccess, this, [this] {
        m_checking = false;
        hide();
        emit unlocked();
    });
    connect(controller, &Controller::onError, this, &LockScreen::onFailure);
    controller->login({{QStringLiteral("username"), m_username}, {QStringLiteral("password"), password}});
}

void LockScreen::onFailure(const QString& message)
{
    m_checking = false;
    m_buttonUnlock->setEnabled(true);
    m_passwordField->clear();
    m_labelError->setText(message.isEmpty() ? tr("Text.unlockFailed") : message);
    m_labelError->show();
    m_passwordField->setFocus();
}
