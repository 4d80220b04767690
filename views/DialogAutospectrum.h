#pragma once

#include <QDialog>

class QPushButton;
class QSpinBox;

// Asks how many minutes an autospectrum runs. Each run reports once through
// listener: the minutes on Confirm, 0 on Cancel or the window's close
// button. Escape reports nothing; the caller treats that as 0.
class DialogAutospectrum : public QDialog
{
    Q_OBJECT

public:
    explicit DialogAutospectrum(QWidget* parent);

signals:
    void listener(int minutes);

public slots:
    void onConfirm();
    void onCancel();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();

    QSpinBox* m_spinBoxDuration = nullptr;
    QPushButton* m_buttonConfirm = nullptr;
    QPushButton* m_buttonCancel = nullptr;
};
