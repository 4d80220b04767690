#include "views/ScreenHeading.h"

#include "widgets/KeyboardAccess.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QPushButton* breadCrumb(const QString& objectName, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QLabel* breadCrumbSeparator(const QString& objectName, QWidget* parent)
{
    auto* separator = new QLabel(parent);
    separator->setObjectName(objectName);
    separator->setFixedSize(20, 20);
    separator->setPixmap(QPixmap(QStringLiteral(":/images/separator.png")));
    separator->setScaledContents(true);
    return separator;
}

ScreenHeading ScreenHeading::build(QWidget* screen, const QString& separatorName)
{
    ScreenHeading heading;
    heading.title = new QLabel(screen);
    heading.title->setObjectName(QStringLiteral("labelTitle"));
    heading.patientName = new QLabel(screen);
    heading.patientName->setObjectName(QStringLiteral("labelPatientName"));
    heading.titleRow = new QHBoxLayout;
    heading.titleRow->addWidget(heading.title);
    heading.titleRow->addWidget(heading.patientName);
    heading.titleRow->addStretch();

    heading.breadCrumbs = new QGroupBox(screen);
    heading.breadCrumbs->setObjectName(QStringLiteral("breadCrumbs"));
    heading.breadCrumbs->setMinimumHeight(32);
    heading.listPatients = new QPushButton(heading.breadCrumbs);
    heading.listPatients->setObjectName(QStringLiteral("buttonListPatients"));
    QLabel* separator = breadCrumbSeparator(separatorName, heading.breadCrumbs);
    heading.back = new QPushButton(heading.breadCrumbs);
    heading.back->setObjectName(QStringLiteral("buttonBack"));
    pressWithKeys(heading.back, {QKeySequence::Back, Qt::Key_Backspace});
    heading.breadCrumbsRow = new QHBoxLayout(heading.breadCrumbs);
    heading.breadCrumbsRow->setSpacing(0);
    heading.breadCrumbsRow->setContentsMargins(0, 0, 0, 0);
    heading.breadCrumbsRow->addWidget(heading.listPatients);
    heading.breadCrumbsRow->addWidget(separator);
    heading.breadCrumbsRow->addWidget(heading.back);
    heading.breadCrumbsRow->addStretch();
    return heading;
}

void ScreenHeading::tabToCrumbsAfter(QWidget* titleRowLast) const
{
    QWidget::setTabOrder(titleRowLast, listPatients);
    QWidget::setTabOrder(listPatients, back);
}

void ScreenHeading::setTexts(const QString& titleText, const QString& listText, const QString& patientCardText,
                             const QString& name) const
{
    title->setText(titleText);
    patientName->setText(QStringLiteral("(") + name + QStringLiteral(")"));
    listPatients->setText(listText);
    back->setText(patientCardText.arg(name));
    tellKeysInToolTip(back);
}

ReportHeading reportHeadingOf(const QString& title, const Patient& patient, const QList<Record>& records)
{
    QStringList dates;
    for (const Record& record : records) {
        if (!record.recordedAt().isEmpty())
            dates.append(record.recordedAt());
    }
    // "yyyy-MM-dd HH:mm:ss" sorts as text in time order.
    dates.sort();
    return {title, patient.name(), dates};
}
