#pragma once

#include <QFrame>

class PatientParticulars;
class QPushButton;

// The card's side bar: the patient's particulars and the actions on the
// patient and on the checked records. Which record actions are offered
// follows how many records are checked.
class PatientSideBar : public QFrame
{
    Q_OBJECT

public:
    enum Action
    {
        NewRecord,
        Autospectrum,
        Analysis,
        ComparativeAnalysis,
        RecoveryHistory,
        Receipt,
        ExcelExport,
        DeletePatient,
        ActionCount
    };

    explicit PatientSideBar(QWidget* parent);

    PatientParticulars* particulars() const { return m_particulars; }
    QPushButton* button(Action action) const { return m_buttons[action]; }
    // Analysis and recovery history take any number of records, the
    // autospectrum and the recipe exactly one, the comparison three or more.
    void showChecked(int checked);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    PatientParticulars* m_particulars = nullptr;
    QPushButton* m_buttons[ActionCount] = {};
};
