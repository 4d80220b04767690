#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPair>
#include <QQueue>
#include <QSet>
#include <QSslCertificate>
#include <QString>
#include <QUrl>
#include <QUrlQuery>

#include <functional>

class QTcpSocket;

// One request as the server read it off the wire.
struct RecordedRequest
{
    QByteArray method;                               // "GET", "POST", ...
    QByteArray target;                               // raw request target, e.g. "/patient/filter?sortby=name&needle="
    QByteArray version;                              // "HTTP/1.1"
    QList<QPair<QByteArray, QByteArray>> headers;    // in the order received, names as sent
    QByteArray body;                                 // exactly Content-Length bytes
    QByteArray header(const QByteArray& name) const; // case-insensitive; empty if absent
    bool hasHeader(const QByteArray& name) const;    // case-insensitive
    int headerCount(const QByteArray& name) const;   // how many times it appears
    QString path() const;                            // target before '?', percent-decoded
    QUrlQuery query() const;                         // target after '?'
};
Q_DECLARE_METATYPE(RecordedRequest)

// How the server answers one request.
struct ScriptedResponse
{
    int status = 200;
    QByteArray reason;                            // empty: the standard phrase for status
    QList<QPair<QByteArray, QByteArray>> headers; // extra headers; Content-Length is added unless given here
    QByteArray body;
    int delayBeforeHeadersMs = 0;      // wait this long before answering anything
    int delayBeforeBodyMs = 0;         // after the headers (sent at once), wait before the first body byte
    int delayAfterFirstBodyByteMs = 0; // after the first body byte, wait before the rest
    bool neverAnswer = false;          // read the request, never answer (keep the connection open)
    bool closeWithoutAnswer = false;   // read the request and close the connection
    static ScriptedResponse json(int status, const QByteArray& body);         // adds Content-Type: application/json
    static ScriptedResponse redirect(int status, const QByteArray& location); // Location header, empty body
};
Q_DECLARE_METATYPE(ScriptedResponse)

// A scriptable HTTP/1.1 server on 127.0.0.1 for tests. It lives in the test's
// own thread and event loop: every answer goes out while the test waits on
// signals (QSignalSpy, QTRY_*). Connections are kept alive and serve their
// requests one after another; a client's "Connection: close" is honoured.
// Qt's client sends a request once more when its connection closes before
// any answer, so a test of closeWithoutAnswer scripts it for every attempt
// (a handler does that).
class TestHttpServer : public QObject
{
    Q_OBJECT

public:
    enum class Transport
    {
        Plain,
        Tls
    };
    // Starts listening at once on 127.0.0.1 and a free port.
    explicit TestHttpServer(Transport transport = Transport::Plain, QObject* parent = nullptr);
    ~TestHttpServer() override; // closes every connection; pending delayed answers are dropped

    bool isListening() const;
    quint16 port() const;
    QUrl baseUrl() const; // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT", no trailing slash
    QString baseUrlText() const;

    using Handler = std::function<ScriptedResponse(const RecordedRequest&)>;
    // Answers come from the queue first, then from the handler, else 404 with an empty body.
    void setHandler(Handler handler); // empties the queue; a null handler removes it
    void enqueue(const ScriptedResponse& response);
    int queuedResponses() const;

    QList<RecordedRequest> requests() const; // every complete request received so far, in order
    int connectionCount() const;             // TCP connections accepted (for TLS: including failed handshakes)
    int openConnectionCount() const;         // connections not yet closed by either side
    int failedHandshakes() const;            // TLS only
    // Every application byte received (plain: everything read; TLS: what
    // arrived after a successful handshake).
    QByteArray decryptedBytesReceived() const;
    void clear(); // forgets recorded requests

    // The self-signed certificate of the TLS mode (CN and IP 127.0.0.1), for
    // clients that choose to trust it.
    static QSslCertificate certificate();
    // Why the TLS mode can't serve here, for a test to skip with; empty when it can.
    static QString tlsUnavailableReason();

signals:
    void requestReceived(const RecordedRequest& request);

private:
    class Listener;
    class Connection;

    void accept(QTcpSocket* socket);
    ScriptedResponse answerFor(const RecordedRequest& request);

    Transport m_transport;
    Listener* m_listener;
    QSet<Connection*> m_connections;
    QQueue<ScriptedResponse> m_queue;
    Handler m_handler;
    QList<RecordedRequest> m_requests;
    QByteArray m_received;
    int m_connectionCount = 0;
    int m_failedHandshakes = 0;
};
