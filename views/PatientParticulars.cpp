#include "views/PatientParticulars.h"

#include "data/Patient.h"
#include "widgets/KeyboardAccess.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel* label(const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    return label;
}

} // namespace

PatientParticulars::PatientParticulars(QWidget* parent) : QGroupBox(parent)
{
    setObjectName(QStringLiteral("groupName"));
    m_labelPatientName = label(QStringLiteral("labelPatientName"), this);
    m_labelPatientName->setWordWrap(true);
    m_buttonEditPatient = new QPushButton(QIcon(QStringLiteral(":/images/edit-hover.png")), QString(), this);
    m_buttonEditPatient->setObjectName(QStringLiteral("buttonEditPatient"));
    m_buttonEditPatient->setIconSize(QSize(24, 24));
    pressWithKeys(m_buttonEditPatient, {Qt::Key_F2});
    m_labelAge = label(QStringLiteral("labelAge"), this);
    m_labelAgeValue = label(QStringLiteral("labelAgeValue"), this);
    m_labelGender = label(QStringLiteral("labelGender"), this);
    m_labelGenderIcon = label(QStringLiteral("labelGenderIcon"), this);
    m_labelPhone = label(QStringLiteral("labelPhone"), this);
    m_labelPhoneValue = label(QStringLiteral("labelPhoneValue"), this);
    m_labelPhoneValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QGridLayout(this);
    layout->setColumnStretch(1, 1);
    layout->addWidget(m_labelPatientName, 0, 0, 1, 2);
    layout->addWidget(m_buttonEditPatient, 0, 2, Qt::AlignTop);
    layout->addWidget(m_labelAge, 1, 0);
    layout->addWidget(m_labelAgeValue, 1, 1, 1, 2);
    layout->addWidget(m_labelGender, 2, 0);
    layout->addWidget(m_labelGenderIcon, 2, 1, 1, 2);
    layout->addWidget(m_labelPhone, 3, 0);
    layout->addWidget(m_labelPhoneValue, 3, 1, 1, 2);
    retranslate();
    connect(m_buttonEditPatient, &QPushButton::clicked, this, &PatientParticulars::editClicked);
}

void PatientParticulars::show(const Patient& patient)
{
    m_labelPatientName->setText(patient.name());
    m_labelAgeValue->setText(QString::number(patient.age()));
    m_labelGenderIcon->setPixmap(patient.genderIcon());
    m_labelPhoneValue->setText(patient.phone());
    m_labelPhone->setVisible(!patient.phone().isEmpty());
    m_labelPhoneValue->setVisible(!patient.phone().isEmpty());
}

void PatientParticulars::retranslate()
{
    namePictureButton(m_buttonEditPatient, tr("Text.edit"));
    m_labelAge->setText(tr("Form.age"));
    m_labelGender->setText(tr("Form.gender"));
    m_labelPhone->setText(tr("Form.phone"));
}

void PatientParticulars::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QGroupBox::changeEvent(event);
}
