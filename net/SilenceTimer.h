#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

class QNetworkReply;
class QTimer;

// The read time-out of a request: it bounds silence, not size. Each chunk of
// the request body that goes out and each chunk of the answer that comes in
// starts the wait again, so a large answer that keeps arriving may take as
// long as it needs, while one that stops half-way ends.
class SilenceTimer : public QObject
{
    Q_OBJECT

public:
    SilenceTimer(int milliseconds, QObject* parent);

    void setInterval(int milliseconds);
    int interval() const;

    // Starts the wait on the reply; a reply watched before (the one
    // redirected from) is no longer watched.
    void watch(QNetworkReply* reply);
    // Stops for good: the reply has ended.
    void stop();
    bool isActive() const;

signals:
    void timedOut();

private:
    void unwatch();

    QTimer* m_timer;
    QList<QMetaObject::Connection> m_connections;
};
