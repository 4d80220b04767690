#pragma once

#include <QObject>

// The one place where a refused token turns into the practitioner signing in
// again. A call whose token the service refused asks for it here and waits;
// the window shows one sign-in dialog however many calls wait, and reports
// how it ended. Without a window that can ask (tests of the API alone, the
// sign-in itself), refusals are reported as any other failure.
class SessionRenewal : public QObject
{
    Q_OBJECT

public:
    static SessionRenewal& instance();

    // Whether someone answers needed(): the main window, while it is signed in.
    void setAvailable(bool available) { m_available = available; }
    bool isAvailable() const { return m_available; }
    // Whether the practitioner is being asked to sign in again right now.
    bool isPending() const { return m_pending; }

    // Asks once: needed() comes only for the first call that waits.
    void request();
    // The dialog has ended: renewed() with the account holding a new token,
    // or abandoned() when the practitioner gave up.
    void finish(bool renewed);

signals:
    void needed();
    void renewed();
    void abandoned();

private:
    SessionRenewal() = default;

    bool m_available = false;
    bool m_pending = false;
};
