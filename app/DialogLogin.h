#pragma once

#include "widgets/OutcomeDialog.h"

class QLineEdit;
class QPushButton;

// Signs the practitioner in before the main window shows anything. The
// outcome is reported once per run through listener: true when the account
// record is filled, false when the practitioner gives up.
class DialogLogin : public OutcomeDialog
{
    Q_OBJECT

public:
    explicit DialogLogin(QWidget* parent = nullptr);

public slots:
    void onConfirm();
    void onSuccess();
    void onError(QString message);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();

    QLineEdit* m_usernameField = nullptr;
    QLineEdit* m_passwordField = nullptr;
    QPushButton* m_buttonConfirm = nullptr;
    bool m_requestRunning = false;
};
