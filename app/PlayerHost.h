#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class DialogPlayer;
class PlayerStatusEntry;
class QMainWindow;

// The one audio player of the main window, with its entry in the window's
// status bar. A request while a player is active is refused; when the player
// reports its end, ended() comes first and the player goes after it.
class PlayerHost : public QObject
{
    Q_OBJECT

public:
    explicit PlayerHost(QMainWindow* window);
    // The player's audio output may run the event loop while it closes, so
    // the window deletes its host while it is still whole.
    ~PlayerHost() override;

    bool isActive() const { return m_active; }
    // Opens the player and starts playing; false when one is active already.
    bool play(const QByteArray& samples, const QString& title);

signals:
    void activeChanged(bool active);
    // completed: the whole audio was played.
    void ended(bool completed);

private:
    void finish(bool completed);

    QMainWindow* m_window;
    bool m_active = false;
    QPointer<DialogPlayer> m_player;
    QPointer<PlayerStatusEntry> m_entry;
};
