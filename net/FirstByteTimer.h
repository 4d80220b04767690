#pragma once

#include <QMetaObject>
#include <QObject>
#include <QPointer>

class QNetworkReply;
class QTimer;

// The read time-out of a request: it bounds the wait for the first byte of the
// answer, not its size, so a large answer that is arriving may take as long as
// it needs. While a request body is still being sent, each chunk that goes out
// starts the wait again.
class FirstByteTimer : public QObject
{
    Q_OBJECT

public:
    FirstByteTimer(int milliseconds, QObject* parent);

    void setInterval(int milliseconds);
    int interval() const;

    // Starts the wait for the reply's first byte; a reply watched before (the
    // one redirected from) is no longer watched.
    void watch(QNetworkReply* reply);
    // Stops for good, as the first byte does.
    void stop();
    bool isActive() const;

signals:
    void timedOut();

private:
    void bytesArrived();
    void unwatch();

    QTimer* m_timer;
    QPointer<QNetworkReply> m_reply;
    QList<QMetaObject::Connection> m_connections;
};
