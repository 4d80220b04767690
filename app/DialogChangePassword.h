#pragma once

#include "api/Controller.h"
#include "widgets/OutcomeDialog.h"

#include <QPointer>

class QGridLayout;
class QLineEdit;
class QPushButton;

// Changes the practitioner's password; the service answers with a renewed
// access token, which the account takes over. The outcome is reported once per
// run through listener: true after a change, false on cancel or close.
class DialogChangePassword : public OutcomeDialog
{
    Q_OBJECT

public:
    explicit DialogChangePassword(QWidget* parent = nullptr);

    // Cancel, Escape and the window's close button all end up here.
    void reject() override;

public slots:
    void onConfirm();
    void onCancel();
    void onError(QString message);
    void onSuccess();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    QLineEdit* addPasswordRow(QGridLayout* layout, int row, const QString& labelName, const QString& labelText,
                              const QString& fieldName);

    QLineEdit* m_oldPasswordField = nullptr;
    QLineEdit* m_newPasswordField = nullptr;
    QLineEdit* m_repeatPasswordField = nullptr;
    QPushButton* m_buttonConfirm = nullptr;
    bool m_requestRunning = false;
    QPointer<Controller> m_request;
};
