#include "app/DialogLogin.h"

#include "api/Controller.h"
#include "base/Account.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace {

constexpr int fieldMaxLength = 200;

// A field is named by words above it as well as by its picture, for the eye
// and for a screen reader.
void addField(QGridLayout* layout, int row, QLabel* picture, QLineEdit* field, const QString& name)
{
    auto* words = new QLabel(name, field->parentWidget());
    words->setObjectName(field->objectName() + QStringLiteral("Name"));
    words->setBuddy(field);
    // The words belong to the field below them, apart from the one above.
    words->setContentsMargins(0, row > 1 ? 10 : 0, 0, 0);
    field->setAccessibleName(name);
    picture->setAccessibleName(name);
    layout->addWidget(words, row, 1);
    layout->addWidget(picture, row + 1, 0);
    layout->addWidget(field, row + 1, 1);
}

} // namespace

DialogLogin::DialogLogin(QWidget* parent) : OutcomeDialog(parent)
{
    setObjectName(QStringLiteral("DialogLogin"));
    buildWidgets(false);
    setWindowTitle(tr("Title.application"));
    // The main window is not on screen yet: nothing must hide the sign-in.
    place(360, 280);
}

DialogLogin::DialogLogin(const QString& username, QWidget* parent) : OutcomeDialog(parent)
{
    setObjectName(QStringLiteral("DialogLogin"));
    buildWidgets(true);
    m_usernameField->setText(username);
    m_usernameField->setReadOnly(true);
    m_passwordField->setFocus();
    setWindowTitle(tr("Title.signInAgain"));
    place(400, 340);
}

QString DialogLogin::username() const
{
    return m_usernameField->text();
}

void DialogLogin::buildWidgets(bool again)
{
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->setHorizontalSpacing(12);
    layout->setVerticalSpacing(6);
    // Fields start below the explanation when there is one.
    const int first = again ? 1 : 0;
    if (again) {
        auto* reason = new QLabel(tr("Text.signInExpired"), this);
        reason->setObjectName(QStringLiteral("labelSignInAgain"));
        reason->setWordWrap(true);
        layout->addWidget(reason, 0, 0, 1, 2);
    }

    auto* usernameLabel = new QLabel(this);
    usernameLabel->setObjectName(QStringLiteral("usernameLabel"));
    usernameLabel->setPixmap(QPixmap(QStringLiteral(":/images/login-as-user.png")));
    m_usernameField = new QLineEdit(this);
    m_usernameField->setObjectName(QStringLiteral("usernameField"));
    m_usernameField->setMaxLength(fieldMaxLength);
    addField(layout, first, usernameLabel, m_usernameField, tr("Text.username"));

    auto* passwordLabel = new QLabel(this);
    passwordLabel->setObjectName(QStringLiteral("passwordLabel"));
    passwordLabel->setPixmap(QPixmap(QStringLiteral(":/images/login-password.png")));
    m_passwordField = new QLineEdit(this);
    m_passwordField->setObjectName(QStringLiteral("passwordField"));
    m_passwordField->setMaxLength(fieldMaxLength);
    m_passwordField->setEchoMode(QLineEdit::Password);
    addField(layout, first + 2, passwordLabel, m_passwordField, tr("Text.password"));

    m_buttonConfirm = new QPushButton(this);
    m_buttonConfirm->setObjectName(QStringLiteral("buttonConfirm"));
    m_buttonConfirm->setIcon(QIcon(QStringLiteral(":/images/login.png")));
    m_buttonConfirm->setText(tr("Text.signIn"));
    m_buttonConfirm->setDefault(true);
    layout->setRowMinimumHeight(first + 4, 8);
    layout->addWidget(m_buttonConfirm, first + 5, 0, 1, 2, Qt::AlignHCenter);

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
    Account::instance().setUserName(m_usernameField->text());
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
