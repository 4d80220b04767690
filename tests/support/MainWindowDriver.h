#pragma once

#include <QList>
#include <QString>

#include <memory>

class MainWindow;
class QWidget;
class ViewPatient;

// The real main window, signed in through its sign-in dialog, driven as a
// practitioner drives it: a patient found in the list and double-clicked,
// records ticked on the card, a screen opened with the card's button. The
// service is the one the client is pointed at (ServiceTestEnvironment).
class MainWindowDriver
{
public:
    MainWindowDriver(const QString& username, const QString& password);
    // Drives a window that is signed in already.
    explicit MainWindowDriver(std::unique_ptr<MainWindow> window);
    ~MainWindowDriver();
    MainWindowDriver(const MainWindowDriver&) = delete;
    MainWindowDriver& operator=(const MainWindowDriver&) = delete;

    // Null when the sign-in failed.
    MainWindow* window() const { return m_window.get(); }

    // Back to the list, the patient searched by name and its row
    // double-clicked; the card once its records are shown, else null.
    ViewPatient* openCard(const QString& name);
    // Ticks the records shown at those rows of the card's table.
    static void tick(ViewPatient* card, const QList<int>& rows);
    // Clicks the card's button of that object name; the screen that is on
    // top afterwards, when it is of another kind than the card, else null.
    QWidget* openFromCard(ViewPatient* card, const QString& buttonName);
    // Records three seconds of silence with the recorder the card opens, from
    // a sensor of that identifier, and saves them: the upload starts.
    static void recordOnCard(ViewPatient* card, const QString& sensorId);

private:
    std::unique_ptr<MainWindow> m_window;
};
