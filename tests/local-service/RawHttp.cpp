#include "RawHttp.h"

#include <QElapsedTimer>
#include <QUrl>

std::unique_ptr<QTcpSocket> connectRaw(const LocalServiceProcess& service)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QStringLiteral("127.0.0.1"), quint16(QUrl(service.baseUrl()).port()));
    return socket->waitForConnected(5000) ? std::move(socket) : nullptr;
}

RawAnswer readAnswer(QTcpSocket& socket, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QByteArray data;
    qsizetype headerEnd = -1;
    qint64 length = -1;
    while (timer.elapsed() < timeoutMs) {
        if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(int(timeoutMs - timer.elapsed())))
            break;
        data += socket.readAll();
        if (headerEnd < 0 && (headerEnd = data.indexOf("\r\n\r\n")) >= 0) {
            for (const QByteArray& line : data.left(headerEnd).split('\n')) {
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            }
        }
        if (headerEnd >= 0 && length >= 0 && data.size() >= headerEnd + 4 + length)
            return {data.mid(9, 3).toInt(), data.mid(headerEnd + 4, length)};
    }
    return {};
}

QByteArray chunked(const QByteArray& body, int chunkSize)
{
    QByteArray framed;
    for (int at = 0; at < body.size(); at += chunkSize) {
        const QByteArray chunk = body.mid(at, chunkSize);
        framed += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return framed + "0\r\n\r\n";
}
