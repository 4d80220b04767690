#pragma once

#include <QDialog>

// A modal account dialog that reports how each run ended exactly once through
// listener: true when its work is done, false when the practitioner gives up
// (Cancel, Escape or the window's close button, which all end in reject()).
// It stays on top and opens in the middle of the first screen.
class OutcomeDialog : public QDialog
{
    Q_OBJECT

public:
    void reject() override;

signals:
    void listener(bool success);

protected:
    explicit OutcomeDialog(QWidget* parent);

    // Fixes the size, keeps the dialog on top and centres it on the first
    // screen.
    void place(int width, int height);
    // Reports success and closes the dialog as accepted.
    void succeed();
    // Whether this run has already been reported (the practitioner gave up).
    bool outcomeReported() const { return m_outcomeReported; }
    // The critical box of a failed request, titled by the caller in its own
    // translation context.
    void showFailure(const QString& title, const QString& message);

    void showEvent(QShowEvent* event) override;

private:
    void reportOutcome(bool success);

    bool m_outcomeReported = false;
};
