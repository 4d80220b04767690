#pragma once

#include "audio/KeepAwake.h"

#include <QDBusConnection>

#include <memory>

// Linux and other desktops with D-Bus: while sound plays or is paused, holds a
// sleep and idle inhibitor of the login manager (org.freedesktop.login1 on the
// system bus: a file descriptor that keeps the inhibitor until it is closed),
// else of the screen saver (org.freedesktop.ScreenSaver on the session bus: a
// cookie handed back to release it). Every call is asynchronous, so a slow or
// missing service never holds up the player; without a bus or either service
// nothing happens. One inhibitor at most is held or asked for; a release
// wanted while the answer is on its way is done when the answer arrives, even
// after this object has gone.
class DBusKeepAwake : public KeepAwake
{
public:
    // The process's system and session buses.
    DBusKeepAwake();
    DBusKeepAwake(const QDBusConnection& systemBus, const QDBusConnection& sessionBus);
    ~DBusKeepAwake() override;

    DBusKeepAwake(const DBusKeepAwake&) = delete;
    DBusKeepAwake& operator=(const DBusKeepAwake&) = delete;

    void setAwake(bool playingOrPaused) override;

    // Whether an inhibitor is held now (not merely asked for).
    bool holdsInhibitor() const;

    // What is held or asked for; shared with the answers on their way.
    struct Inhibitor;

private:
    std::shared_ptr<Inhibitor> m_inhibitor;
};
