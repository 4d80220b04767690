#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Signs the practitioner in before the main window shows anything. The
// outcome is reported once per run through listener: true when the account
// record is filled, false when the practitioner gives up.
class DialogLogin : public QDialog
{
    Q_OBJECT

public:
    explicit DialogLogin(QWidget* parent = nullptr);

    // Escape and the window's close button both end up here.
    void reject() override;

signals:
    void listener(bool success);

public slots:
    void onConfirm();
    void onSuccess();
    void onError(QString message);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildWidgets();
    void reportOutcome(bool success);

    QLineEdit* m_usernameField = nullptr;
    QLineEdit* m_passwordField = nullptr;
    QPushButton* m_buttonConfirm = nullptr;
    bool m_requestRunning = false;
    bool m_outcomeReported = false;
};
