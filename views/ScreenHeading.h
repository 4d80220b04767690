#pragma once

#include "data/Patient.h"
#include "data/Record.h"
#include "widgets/ReportPageFrame.h"

#include <QList>
#include <QString>

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// The top of the screens above the patient card: the title with the
// patient's name, and below it the bread crumbs back to the patients list
// and to the patient card. Screens add their own controls to the two rows.
struct ScreenHeading
{
    QLabel* title = nullptr;
    QLabel* patientName = nullptr;
    QHBoxLayout* titleRow = nullptr;
    QGroupBox* breadCrumbs = nullptr;
    QHBoxLayout* breadCrumbsRow = nullptr;
    QPushButton* listPatients = nullptr;
    QPushButton* back = nullptr;

    // The rows end in a stretch; a screen's own controls go after it.
    static ScreenHeading build(QWidget* screen, const QString& separatorName);
    // Tab reaches the bread crumbs after the title row, which is above them:
    // pass the title row's last control.
    void tabToCrumbsAfter(QWidget* titleRowLast) const;
    // The texts, already translated by the screen; "Text.patientCard" takes
    // the patient's name as %1.
    void setTexts(const QString& titleText, const QString& listText, const QString& patientCardText,
                  const QString& name) const;
};

// A link of the bread crumbs: a flat button with a pointing hand.
QPushButton* breadCrumb(const QString& objectName, QWidget* parent);
// The arrow between two bread crumbs.
QLabel* breadCrumbSeparator(const QString& objectName, QWidget* parent);

// The heading of a screen's printed report: its title, the patient's name and
// the dates of the records shown, oldest first.
ReportHeading reportHeadingOf(const QString& title, const Patient& patient, const QList<Record>& records);
