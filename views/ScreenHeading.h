#pragma once

#include "data/Patient.h"
#include "data/Record.h"
#include "widgets/ReportPageFrame.h"

#include <QList>
#include <QString>
#include <QWidget>

class QFrame;
class QHBoxLayout;
class QLabel;
class QPixmap;
class QPushButton;
class QVBoxLayout;

// The top of every screen, the same widget in the same place on each: a row
// of bread crumbs back along the way the practitioner came, then the title
// row with the screen's title, the patient's name and the device picture,
// and at its right end the screen's own controls. The crumbs speak for
// themselves, so the list and the card are named alike on every screen.
class ScreenHeading : public QWidget
{
    Q_OBJECT

public:
    // The screens a crumb leads back to, in the order of the way in.
    enum Crumb
    {
        PatientsList,
        PatientCard,
        Recipe
    };

    // Each crumb keeps the object name the screens have always given it.
    struct CrumbName
    {
        Crumb crumb;
        QString objectName;
    };

    ScreenHeading(QWidget* screen, const QList<CrumbName>& crumbs);

    // The column of a screen: the heading on top, with the margins and the
    // spacing every screen shares. The screen adds its body below.
    static QVBoxLayout* screenColumn(QWidget* screen, ScreenHeading* heading);

    QPushButton* crumb(Crumb crumb) const;
    // The row after the title; a screen's own controls go here, to the right.
    QHBoxLayout* controls() const { return m_controls; }

    // The title, already translated by the screen; a name given is shown
    // after it in parentheses.
    void setTitle(const QString& title, const QString& patientName = {});
    // The name of the patient whose card the card crumb leads back to.
    void setPatientName(const QString& name);
    // The remote device's picture after the title, or nothing when the
    // patient has no device.
    void setDevice(const QPixmap& picture, bool shown);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QFrame* m_crumbs = nullptr;
    QHBoxLayout* m_crumbRow = nullptr;
    QList<std::pair<Crumb, QPushButton*>> m_crumbButtons;
    QLabel* m_title = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_device = nullptr;
    QHBoxLayout* m_titleRow = nullptr;
    QHBoxLayout* m_controls = nullptr;
    QString m_patientName;
};

// The heading of a screen's printed report: its title, the patient's name and
// the dates of the records shown, oldest first.
ReportHeading reportHeadingOf(const QString& title, const Patient& patient, const QList<Record>& records);
