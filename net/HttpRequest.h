#pragma once

#include <QByteArray>
#include <QMap>
#include <QUrl>

// Raw header names to values, kept in name order.
using HttpHeaders = QMap<QByteArray, QByteArray>;

// One request to the service, as the transport sends it.
struct HttpRequest
{
    // The toolkit's operation codes.
    enum Operation
    {
        Head = 1,
        Get = 2,
        Put = 3,
        Post = 4,
        Delete = 5,
    };

    QUrl url;
    int operation = Get;
    QByteArray body;    // sent with PUT and POST
    quint32 offset = 0; // resume offset, 0 for none
    HttpHeaders headers;
};
