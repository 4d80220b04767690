#include "app/PlayerHost.h"

#include "app/PlayerStatusEntry.h"
#include "audio/DialogPlayer.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QStatusBar>

PlayerHost::PlayerHost(QMainWindow* window) : QObject(window), m_window(window) {}

PlayerHost::~PlayerHost()
{
    // An end the player has reported but the host has not yet handled is
    // dropped with it.
    if (m_player) {
        disconnect(m_player, nullptr, this, nullptr);
        QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    }
    delete m_entry;
    delete m_player;
}

bool PlayerHost::play(const QByteArray& samples, const QString& title)
{
    if (m_active)
        return false;
    m_active = true;
    emit activeChanged(true);

    m_player = new DialogPlayer(m_window, samples, title);
    m_entry = new PlayerStatusEntry(m_window->statusBar(), m_player, this);
    // Queued: the end is handled from the event loop, not from within the
    // audio output's own state report, and a modal message may follow.
    connect(m_player, &DialogPlayer::onFinish, this, &PlayerHost::finish, Qt::QueuedConnection);
    m_player->show();
    m_player->raise();
    m_player->activateWindow();
    m_entry->start();
    return true;
}

void PlayerHost::finish(bool completed)
{
    emit ended(completed);
    delete m_entry;
    if (m_player)
        m_player->deleteLater();
    m_active = false;
    emit activeChanged(false);
}
