#pragma once

#include <QObject>

class Patient;
class QWidget;
class Record;

// The autospectrum of a record: how long it runs is asked in its dialog, the
// service sends its audio, which is stretched to that length for the player.
// None is asked for while the main window's player is playing or paused.
class PatientAutospectrum : public QObject
{
    Q_OBJECT

public:
    explicit PatientAutospectrum(QWidget* card);

    bool isPlayerActive() const { return m_playerActive; }
    void setPlayerActive(bool active) { m_playerActive = active; }

    // Runs the dialog that asks for the minutes; they are reported by minutesChosen.
    void askMinutes();
    // Nothing for 0 minutes.
    void request(const Patient& patient, const Record& record, int minutes);

signals:
    void minutesChosen(int minutes);
    void play(const QByteArray& samples);
    void error(const QString& message);

private:
    void assemble(const QByteArray& reply, int minutes);
    bool refuseWhilePlayerActive();

    QWidget* m_card;
    bool m_playerActive = false;
};
