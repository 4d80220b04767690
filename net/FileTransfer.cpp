#include "net/FileTransfer.h"

#include "base/AppConstants.h"
#include "data/Patient.h"
#include "net/ServiceSession.h"
#include "net/SilenceTimer.h"

#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QtDebug>

FileTransfer::FileTransfer(QObject* parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
    , m_readTimer(new SilenceTimer(AppConstants::readTimeoutMs, this))
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &FileTransfer::finished);
    connect(m_readTimer, &SilenceTimer::timedOut, this, &FileTransfer::readTimeout);
}

void FileTransfer::setReadTimeout(int milliseconds)
{
    m_readTimer->setInterval(milliseconds);
}

void FileTransfer::upload(const QString& url, const Patient& patient, const QByteArray& recording,
                          const QString& sensorId)
{
    auto* form = new QHttpMultiPart(QHttpMultiPart::FormDataType);

    QHttpPart patientPart;
    patientPart.setHeader(QNetworkRequest::ContentDispositionHeader,
                          QByteArrayLiteral("form-data; name=\"patientId\""));
    patientPart.setBody(patient.id().toUtf8());
    form->append(patientPart);

    QHttpPart recordPart;
    recordPart.setHeader(QNetworkRequest::ContentDispositionHeader,
                         QByteArrayLiteral("form-data; name=\"record\"; filename=\"record\""));
    recordPart.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/octet-stream"));
    recordPart.setBody(recording);
    form->append(recordPart);

    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    const HttpHeaders session = sessionHeaders();
    for (auto it = session.cbegin(); it != session.cend(); ++it)
        request.setRawHeader(it.key(), it.value());
    // Sent even when empty (no sensor found): the toolkit drops a header whose
    // value is null, so make it an empty one.
    QByteArray sensorHeader = sensorId.toUtf8();
    if (sensorHeader.isNull())
        sensorHeader = QByteArrayLiteral("");
    request.setRawHeader(QByteArrayLiteral("Sonvera-ID"), sensorHeader);

    m_reply = m_manager->post(request, form);
    form->setParent(m_reply);
    m_readTimer->watch(m_reply);
}

void FileTransfer::readTimeout()
{
    if (!m_reply)
        return;
    qWarning() << "Upload to" << m_reply->url().path() << "timed out waiting for the service";
    m_timedOut = true;
    m_reply->abort();
}

void FileTransfer::finished(QNetworkReply* reply)
{
    m_readTimer->stop();
    // An aborted reply is closed for reading and has nothing more to give.
    const QByteArray bytes = reply->isOpen() ? reply->readAll() : QByteArray();
    m_statusCode = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // A status outside 2xx is a failure too, not an empty record.
    m_networkError = m_timedOut ? QNetworkReply::TimeoutError : answerFailure(m_statusCode, reply->error());

    if (m_networkError != QNetworkReply::NoError) {
        qWarning() << "Upload to" << reply->url().path() << "failed: status" << m_statusCode << "error"
                   << m_networkError;
        emit onError(bytes);
    } else {
        emit onSuccess(bytes);
    }

    reply->disconnect();
    m_reply = nullptr;
    reply->deleteLater();
    m_manager->deleteLater();
    deleteLater();
}
