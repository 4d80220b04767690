#pragma once

#include <QDialog>
#include <QString>

class Patient;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Creates or edits one patient. The form writes what was entered into the
// patient it was handed and emits onSubmit; it sends nothing itself. Whoever
// stores the patient closes it, so a refused entry can be corrected.
class FormPatient : public QDialog
{
    Q_OBJECT

public:
    explicit FormPatient(QWidget* parent = nullptr);

    // Not owned: the opener keeps the patient alive while the form runs. A
    // patient without an id is a new one.
    void setPatient(Patient* patient);

signals:
    void onSubmit(Patient* patient);

public slots:
    void onSave();
    void onCancel();
    void onGenderMale();
    void onGenderFemale();
    void onAgreementStateChanged(int state);

private:
    void buildWidgets();
    QLineEdit* addLineEdit(const QString& objectName, int maxLength);
    QPushButton* addGenderButton(const QString& objectName, const QString& picture, const QString& text);
    void showGender();

    Patient* m_patient = nullptr;
    QString m_gender = QStringLiteral("MALE");

    QLabel* m_labelTitle = nullptr;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_birthDateDayField = nullptr;
    QComboBox* m_birthDateMonthBox = nullptr;
    QLineEdit* m_birthDateYearField = nullptr;
    QPushButton* m_buttonGenderMale = nullptr;
    QPushButton* m_buttonGenderFemale = nullptr;
    QLineEdit* m_phoneField = nullptr;
    QPlainTextEdit* m_notesField = nullptr;
    QCheckBox* m_agreement = nullptr;
    QPushButton* m_buttonSave = nullptr;
};
