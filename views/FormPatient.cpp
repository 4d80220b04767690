#include "views/FormPatient.h"

#include "data/Patient.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString male = QStringLiteral("MALE");
const QString female = QStringLiteral("FEMALE");

} // namespace

FormPatient::FormPatient(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormPatient"));
    setWindowTitle(QString());
    buildWidgets();
    showGender();
}

void FormPatient::buildWidgets()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);

    auto* iconLabel = new QLabel(this);
    iconLabel->setObjectName(QStringLiteral("iconLabel"));
    iconLabel->setFixedSize(32, 32);
    iconLabel->setScaledContents(true);
    iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/patient-settings.png")));
    m_labelTitle = new QLabel(this);
    m_labelTitle->setObjectName(QStringLiteral("labelTitle"));
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(iconLabel);
    titleRow->addWidget(m_labelTitle, 1);
    layout->addLayout(titleRow);

    m_nameField = addLineEdit(QStringLiteral("nameField"), 255);
    m_nameField->setPlaceholderText(tr("Text.name"));
    m_nameField->setMinimumSize(240, 40);
    layout->addWidget(m_nameField);

    m_birthDateDayField = addLineEdit(QStringLiteral("birthDateDayField"), 3);
    m_birthDateDayField->setPlaceholderText(tr("Text.day"));
    m_birthDateDayField->setValidator(new QIntValidator(1, 31, m_birthDateDayField));
    m_birthDateDayField->setMinimumSize(40, 40);
    m_birthDateDayField->setMaximumSize(60, 40);
    m_birthDateMonthBox = new QComboBox(this);
    m_birthDateMonthBox->setObjectName(QStringLiteral("birthDateMonthBox"));
    m_birthDateMonthBox->addItems({tr("Text.January"), tr("Text.February"), tr("Text.March"), tr("Text.April"),
                                   tr("Text.May"), tr("Text.June"), tr("Text.July"), tr("Text.August"),
                                   tr("Text.September"), tr("Text.October"), tr("Text.November"), tr("Text.December")});
    m_birthDateMonthBox->setMaxCount(12);
    m_birthDateMonthBox->setMaxVisibleItems(12);
    m_birthDateMonthBox->setMinimumSize(140, 40);
    m_birthDateYearField = addLineEdit(QStringLiteral("birthDateYearField"), 5);
    m_birthDateYearField->setPlaceholderText(tr("Text.year"));
    m_birthDateYearField->setMinimumSize(40, 40);
    m_birthDateYearField->setMaximumSize(70, 40);
    auto* birthDateRow = new QHBoxLayout;
    birthDateRow->addWidget(m_birthDateDayField);
    birthDateRow->addWidget(m_birthDateMonthBox, 1);
    birthDateRow->addWidget(m_birthDateYearField);
    layout->addLayout(birthDateRow);

    m_buttonGenderMale = addGenderButton(QStringLiteral("buttonGenderMale"),
                                         QStringLiteral(":/images/patient-male.png"), tr("Text.male"));
    m_buttonGenderFemale = addGenderButton(QStringLiteral("buttonGenderFemale"),
                                           QStringLiteral(":/images/patient-female.png"), tr("Text.female"));
    auto* genderRow = new QHBoxLayout;
    genderRow->addWidget(m_buttonGenderMale, 1);
    genderRow->addWidget(m_buttonGenderFemale, 1);
    layout->addLayout(genderRow);

    m_phoneField = addLineEdit(QStringLiteral("phoneField"), 100);
    m_phoneField->setPlaceholderText(tr("Form.phone"));
    m_phoneField->setMinimumSize(240, 40);
    layout->addWidget(m_phoneField);

    auto* notesLabel = new QLabel(tr("Form.notes"), this);
    notesLabel->setObjectName(QStringLiteral("notesLabel"));
    notesLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(notesLabel);
    m_notesField = new QPlainTextEdit(this);
    m_notesField->setObjectName(QStringLiteral("notesField"));
    layout->addWidget(m_notesField, 1);

    m_agreement = new QCheckBox(tr("Form.patientAgreement"), this);
    m_agreement->setObjectName(QStringLiteral("agreement"));
    layout->addWidget(m_agreement);

    auto* buttonCancel = new QPushButton(tr("Text.cancel"), this);
    buttonCancel->setObjectName(QStringLiteral("buttonCancel"));
    buttonCancel->setMinimumHeight(40);
    buttonCancel->setAutoDefault(false);
    m_buttonSave = new QPushButton(tr("Text.save"), this);
    m_buttonSave->setObjectName(QStringLiteral("buttonSave"));
    m_buttonSave->setMinimumHeight(40);
    m_buttonSave->setEnabled(false);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(buttonCancel);
    buttonRow->addWidget(m_buttonSave);
    layout->addLayout(buttonRow);

    // The fields show their names only as placeholders; a screen reader says them too.
    for (QLineEdit* field : {m_nameField, m_birthDateDayField, m_birthDateYearField, m_phoneField})
        field->setAccessibleName(field->placeholderText());
    notesLabel->setBuddy(m_notesField);

    connect(m_buttonSave, &QPushButton::clicked, this, &FormPatient::onSave);
    connect(buttonCancel, &QPushButton::clicked, this, &FormPatient::onCancel);
    connect(m_buttonGenderMale, &QPushButton::clicked, this, &FormPatient::onGenderMale);
    connect(m_buttonGenderFemale, &QPushButton::clicked, this, &FormPatient::onGenderFemale);
    connect(m_agreement, &QCheckBox::stateChanged, this, &FormPatient::onAgreementStateChanged);
}

QLineEdit* FormPatient::addLineEdit(const QString& objectName, int maxLength)
{
    auto* field = new QLineEdit(this);
    field->setObjectName(objectName);
    field->setMaxLength(maxLength);
    return field;
}

QPushButton* FormPatient::addGenderButton(const QString& objectName, const QString& picture, const QString& text)
{
    auto* button = new QPushButton(QIcon(picture), text, this);
    button->setObjectName(objectName);
    button->setCheckable(true);
    button->setAutoDefault(false);
    button->setMinimumSize(40, 40);
    button->setIconSize(QSize(22, 22));
    return button;
}

void FormPatient::setPatient(Patient* patient)
{
    m_patient = patient;
    if (!patient || patient->id().isEmpty()) {
        m_labelTitle->setText(tr("Dialog.createPatient"));
        showGender();
        return;
    }

    m_labelTitle->setText(tr("Dialog.editPatient"));
    m_gender = patient->gender();
    // A patient stored without a birth date keeps the date fields empty
    // rather than showing day and year 0.
    const QDate birthDate = patient->birthDate();
    if (birthDate.isValid()) {
        m_birthDateDayField->setText(QString::number(birthDate.day()));
        m_birthDateMonthBox->setCurrentIndex(birthDate.month() - 1);
        m_birthDateYearField->setText(QString::number(birthDate.year()));
    }
    m_nameField->setText(patient->name());
    m_notesField->setPlainText(patient->notes());
    m_phoneField->setText(patient->phone());
    m_agreement->setChecked(true);
    m_buttonSave->setEnabled(true);
    showGender();
}

void FormPatient::onSave()
{
    if (!m_patient)
        return;
    // Text that is not a number reads as 0, which leaves the date invalid.
    const int year = m_birthDateYearField->text().toInt();
    const int month = m_birthDateMonthBox->currentIndex() + 1;
    const int day = m_birthDateDayField->text().toInt();

    m_patient->setName(m_nameField->text());
    m_patient->setGender(m_gender);
    m_patient->setBirthDate(day, month, year);
    m_patient->setNotes(m_notesField->toPlainText());
    m_patient->setPhone(m_phoneField->text());
    emit onSubmit(m_patient);
}

void FormPatient::onCancel()
{
    reject();
}

void FormPatient::onGenderMale()
{
    m_gender = male;
    showGender();
}

void FormPatient::onGenderFemale()
{
    m_gender = female;
    showGender();
}

void FormPatient::onAgreementStateChanged(int state)
{
    // A partly checked box leaves the save button as it is.
    if (state == Qt::Checked)
        m_buttonSave->setEnabled(true);
    else if (state == Qt::Unchecked)
        m_buttonSave->setEnabled(false);
}

void FormPatient::showGender()
{
    // Anything but "MALE", an empty gender too, shows as female; the gender
    // itself stays as it came until a button is pressed.
    const bool isMale = m_gender == male;
    m_buttonGenderMale->setChecked(isMale);
    m_buttonGenderFemale->setChecked(!isMale);
}
