#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

// The patient's recordings that have not reached the service yet, above the
// card's records: one row each with its time and whether it waits or is on
// its way, and a button that sends them now. The rows can't be ticked: the
// service has no record of them to analyse. Hidden while none waits.
class WaitingRecordingsPanel : public QWidget
{
    Q_OBJECT

public:
    WaitingRecordingsPanel(const QString& patientId, QWidget* parent = nullptr);

    // Reads the waiting recordings again.
    void refresh();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    const QString m_patientId;
    QLabel* m_labelWaiting = nullptr;
    QTableWidget* m_tableWaiting = nullptr;
    QPushButton* m_buttonSendNow = nullptr;
};
