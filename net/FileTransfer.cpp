#include "net/FileTransfer.h"

#include "base/Account.h"
#include "base/AppConstants.h"
#include "data/Patient.h"

#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QTimer>
#include <QtDebug>

FileTransfer::FileTransfer(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_readTimer(new QTimer(this))
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &FileTransfer::finished);
    m_readTimer->setSingleShot(true);
    m_readTimer->setInterval(AppConstants::readTimeoutMs);
    connect(m_readTimer, &QTimer::timeout, this, &FileTransfer::readTimeout);
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
    const Account& account = Account::instance();
    request.setRawHeader(QByteArrayLiteral("Authorization"), account.authorization());
    request.setRawHeader(QByteArrayLiteral("Accept-Language"), account.acceptLanguage());
    // Sent even when empty (no sensor found): the toolkit drops a header whose
    // value is null, so make it an empty one.
    QByteArray sensorHeader = sensorId.toUtf8();
    if (sensorHeader.isNull())
        sensorHeader = QByteArrayLiteral("");
    request.setRawHeader(QByteArrayLiteral("Sonvera-ID"), sensorHeader);

    m_reply = m_manager->post(request, form);
    form->setParent(m_reply);
    // The time-out bounds silence, not size: it starts again with every chunk
    // sent and stops for good at the first byte of the answer.
    connect(m_reply, &QNetworkReply::uploadProgress, m_readTimer, qOverload<>(&QTimer::start));
    // readyRead, unlike the progress reports, is never held back by the toolkit.
    connect(m_reply, &QNetworkReply::readyRead, this, [this] {
        if (m_reply->bytesAvailable() >= 1) {
            m_readTimer->stop();
            disconnect(m_reply, &QNetworkReply::uploadProgress, m_readTimer, nullptr);
        }
    });
    m_readTimer->start();
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
    m_networkError = m_timedOut ? QNetworkReply::TimeoutError : reply->error();
    // The toolkit raises errors only from status 400 up; any other answer that
    // is not a success is a failure too, not an empty record.
    if (m_networkError == QNetworkReply::NoError && (m_statusCode < 200 || m_statusCode > 299))
        m_networkError = QNetworkReply::UnknownContentError;

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
