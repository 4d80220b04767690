#pragma once

#include "support/LocalServiceProcess.h"

#include <QByteArray>
#include <QTcpSocket>

#include <memory>

// Raw HTTP with the local service, for the tests that send what no client
// library would.

// A connection to the service, or null.
std::unique_ptr<QTcpSocket> connectRaw(const LocalServiceProcess& service);

struct RawAnswer
{
    int status = 0; // 0: none before the connection closed or time ran out
    QByteArray body;
};
// Reads one answer with a Content-Length body from a raw connection.
RawAnswer readAnswer(QTcpSocket& socket, int timeoutMs);

// The body in chunks of the size, ended by the last chunk.
QByteArray chunked(const QByteArray& body, int chunkSize);
