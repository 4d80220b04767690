#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>

class SilenceTimer;
class Patient;
class QNetworkAccessManager;

// Posts one recording to the service as a multipart form with the patient's
// id and the identifier of the sensor that made it. One object per upload; it
// deletes itself once the answer has been reported.
class FileTransfer : public QObject
{
    Q_OBJECT

public:
    explicit FileTransfer(QObject* parent = nullptr);

    void upload(const QString& url, const Patient& patient, const QByteArray& recording, const QString& sensorId);

    // How long the upload waits for the service to start answering after the
    // last byte went out, in milliseconds.
    void setReadTimeout(int milliseconds);
    // Ends the upload now as if the service had not answered in time.
    void stopWaiting() { readTimeout(); }

    // Valid when onError is emitted: the HTTP status (0 when none arrived) and
    // why the transfer failed (TimeoutError when the service stayed silent).
    int statusCode() const { return m_statusCode; }
    QNetworkReply::NetworkError networkError() const { return m_networkError; }

signals:
    void onSuccess(QByteArray bytes);
    void onError(QByteArray bytes);

private slots:
    void finished(QNetworkReply* reply);

private:
    void readTimeout();

    QNetworkAccessManager* m_manager;
    SilenceTimer* m_readTimer;
    QNetworkReply* m_reply = nullptr;
    bool m_timedOut = false;
    int m_statusCode = 0;
    QNetworkReply::NetworkError m_networkError = QNetworkReply::NoError;
};
