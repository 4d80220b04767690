#include "app/IdleLock.h"

#include "app/LockScreen.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

IdleLock::IdleLock(QWidget* window) : QObject(window), m_window(window)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &IdleLock::lock);
}

IdleLock::~IdleLock()
{
    qApp->removeEventFilter(this);
}

std::chrono::milliseconds& IdleLock::currentIdleTime()
{
    static std::chrono::milliseconds time = idleTime;
    return time;
}

void IdleLock::setIdleTimeForTests(std::chrono::milliseconds time)
{
    currentIdleTime() = time.count() > 0 ? time : idleTime;
}

void IdleLock::start(const QString& username)
{
    m_username = username;
    qApp->installEventFilter(this);
    m_timer.start(currentIdleTime());
}

void IdleLock::stop()
{
    qApp->removeEventFilter(this);
    m_timer.stop();
    delete m_screen.data();
}

void IdleLock::lock()
{
    if (m_screen)
        return;
    m_timer.stop();
    m_screen = new LockScreen(m_username, m_window);
    connect(m_screen, &LockScreen::unlocked, this, &IdleLock::unlocked);
    m_screen->cover();
}

void IdleLock::unlocked()
{
    m_screen->deleteLater();
    m_timer.start(currentIdleTime());
}

bool IdleLock::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
        // Typing the password on the lock screen is no sign of presence.
        if (!m_screen)
            m_timer.start(currentIdleTime());
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool IdleLock::isLocked() const
{
    return !m_screen.isNull();
}
