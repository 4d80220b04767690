#pragma once

#include <QGroupBox>

class Patient;
class QLabel;
class QPushButton;

// The patient's particulars at the top of the card's side bar: name, age,
// gender and phone, with the button that opens the patient form.
class PatientParticulars : public QGroupBox
{
    Q_OBJECT

public:
    explicit PatientParticulars(QWidget* parent);

    void show(const Patient& patient);

signals:
    void editClicked();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QLabel* m_labelPatientName = nullptr;
    QPushButton* m_buttonEditPatient = nullptr;
    QLabel* m_labelAge = nullptr;
    QLabel* m_labelAgeValue = nullptr;
    QLabel* m_labelGender = nullptr;
    QLabel* m_labelGenderIcon = nullptr;
    QLabel* m_labelPhone = nullptr;
    QLabel* m_labelPhoneValue = nullptr;
};
