#pragma once

#include "widgets/OutcomeDialog.h"

class QLineEdit;
class QPushButton;

// Signs the practitioner in before the main window shows anything, and again
// when the service has ended the sign-in: then the user name is given and
// fixed, and only the password is asked. The outcome is reported once per run
// through listener: true when the account record is filled, false when the
// practitioner gives up.
class DialogLogin : public OutcomeDialog
{
    Q_OBJECT

public:
    explicit DialogLogin(QWidget* parent = nullptr);
    // Signing in again as the practitioner who is signed in already.
    DialogLogin(const QString& username, QWidget* parent);

    QString username() const;

public slots:
    void onConfirm();
    void onSuccess();
    void onError(QString message);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets(bool again);

    QLineEdit* m_usernameField = nullptr;
    QLineEdit* m_passwordField = nullptr;
    QPushButton* m_buttonConfirm = nullptr;
    bool m_requestRunning = false;
};
