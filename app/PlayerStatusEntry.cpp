#include "app/PlayerStatusEntry.h"

#include "audio/DialogPlayer.h"

#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

PlayerStatusEntry::PlayerStatusEntry(QStatusBar* statusBar, DialogPlayer* player, QObject* parent)
    : QObject(parent), m_statusBar(statusBar), m_player(player), m_button(new QPushButton), m_timer(new QTimer(this))
{
    m_button->setObjectName(QStringLiteral("buttonPlayer"));
    m_button->setFlat(true);
    m_button->hide();
    connect(m_button, &QPushButton::clicked, this, &PlayerStatusEntry::showPlayer);
    connect(m_timer, &QTimer::timeout, this, &PlayerStatusEntry::refresh);
}

PlayerStatusEntry::~PlayerStatusEntry()
{
    if (m_statusBar && m_button)
        m_statusBar->removeWidget(m_button);
    delete m_button;
}

void PlayerStatusEntry::start()
{
    if (m_statusBar)
        // Permanent: the notes shown in passing must not hide it.
        m_statusBar->addPermanentWidget(m_button);
    refresh();
    m_timer->start(1000);
}

void PlayerStatusEntry::refresh()
{
    if (!m_button)
        return;
    const QAudio::State state = m_player ? m_player->outputState() : QAudio::IdleState;
    const bool running = state == QAudio::ActiveState || state == QAudio::SuspendedState;
    if (running)
        m_button->setText(m_player->title() + QStringLiteral(" [") + m_player->remainingTimeText() + QLatin1Char(']'));
    else
        m_button->setText(QString());
    m_button->setVisible(running);
}

void PlayerStatusEntry::showPlayer()
{
    if (!m_player)
        return;
    m_player->show();
    m_player->raise();
    m_player->activateWindow();
}
