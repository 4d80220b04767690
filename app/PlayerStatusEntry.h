#pragma once

#include "audio/DialogPlayer.h"

#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>

class QTimer;

// The status-bar entry of a running player: a flat button with the player's
// title and remaining time, refreshed every second and shown only while sound
// plays or is paused; clicking it brings the player back. Deleting the entry
// takes the button out of the status bar.
class PlayerStatusEntry : public QObject
{
    Q_OBJECT

public:
    PlayerStatusEntry(QStatusBar* statusBar, DialogPlayer* player, QObject* parent = nullptr);
    ~PlayerStatusEntry() override;

    // Puts the button into the status bar and starts the refresh.
    void start();
    QPushButton* button() const { return m_button; }

private:
    void refresh();
    void showPlayer();

    QPointer<QStatusBar> m_statusBar;
    QPointer<DialogPlayer> m_player;
    QPointer<QPushButton> m_button;
    QTimer* m_timer = nullptr;
};
