#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <chrono>

class LockScreen;
class QWidget;

// Covers the window with the lock screen after a quarter of an hour without
// input from the practitioner, so that an unattended computer shows no
// patient's data; the practitioner's password, checked by the service, takes
// it away. Anything that runs by itself (a playing impact) keeps running.
class IdleLock : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds idleTime = std::chrono::minutes(15);

    explicit IdleLock(QWidget* window);
    ~IdleLock() override;

    // Watches for input from now on, for that practitioner.
    void start(const QString& username);
    // Stops watching and takes the lock screen away without a password (the
    // practitioner signs out).
    void stop();
    bool isLocked() const;
    void lock();

    // Tests wait a shorter time; zero restores the quarter of an hour.
    static void setIdleTimeForTests(std::chrono::milliseconds time);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::chrono::milliseconds& currentIdleTime();
    void unlocked();

    QWidget* m_window;
    QTimer m_timer;
    QString m_username;
    QPointer<LockScreen> m_screen;
};
