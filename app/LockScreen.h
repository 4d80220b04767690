#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// What an unattended window shows: nothing of the patients, the practitioner's
// name and a password field. It covers the window and every dialog open over
// it; the service checks the password, and unlocked() follows once it has
// accepted it. Closing it by other means does nothing.
class LockScreen : public QDialog
{
    Q_OBJECT

public:
    LockScreen(const QString& username, QWidget* window);

    // Shows itself over the whole of the window.
    void cover();

signals:
    void unlocked();

public slots:
    void reject() override;

private:
    void buildWidgets();
    void onConfirm();
    void onFailure(const QString& message);

    QString m_username;
    QLabel* m_labelError = nullptr;
    QLineEdit* m_passwordField = nullptr;
    QPushButton* m_buttonUnlock = nullptr;
    bool m_checking = false;
};
