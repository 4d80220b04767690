#include "support/TestHttpServer.h"

#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

namespace {

QByteArray reasonPhrase(int status)
{
    static const QHash<int, QByteArray> phrases = {{200, "OK"},
                                                   {201, "Created"},
                                                   {202, "Accepted"},
                                                   {204, "No Content"},
                                                   {301, "Moved Permanently"},
                                                   {302, "Found"},
                                                   {303, "See Other"},
                                                   {304, "Not Modified"},
                                                   {307, "Temporary Redirect"},
                                                   {308, "Permanent Redirect"},
                                                   {400, "Bad Request"},
                                                   {401, "Unauthorized"},
                                                   {403, "Forbidden"},
                                                   {404, "Not Found"},
                                                   {405, "Method Not Allowed"},
                                                   {409, "Conflict"},
                                                   {413, "Payload Too Large"},
                                                   {415, "Unsupported Media Type"},
                                                   {422, "Unprocessable Entity"},
                                                   {429, "Too Many Requests"},
                                                   {500, "Internal Server Error"},
                                                   {501, "Not Implemented"},
                                                   {502, "Bad Gateway"},
                                                   {503, "Service Unavailable"},
                                                   {504, "Gateway Timeout"}};
    return phrases.value(status, "Unknown");
}

bool hasHeaderIn(const QList<QPair<QByteArray, QByteArray>>& headers, const QByteArray& name)
{
    for (const auto& header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool hasToken(const QByteArray& value, const QByteArray& token)
{
    const QList<QByteArray> tokens = value.split(',');
    for (const QByteArray& item : tokens) {
        if (item.trimmed().compare(token, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QByteArray readTlsFile(const char* name)
{
    QFile file(QStringLiteral(SONVERA_TEST_TLS_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qWarning("TestHttpServer: cannot read %s", qPrintable(file.fileName()));
    return file.readAll();
}

const QSslKey& privateKey()
{
    static const QSslKey key(readTlsFile("server.key"), QSsl::Rsa);
    return key;
}

// A request waits in the buffer until its headers and body have all arrived.
enum class Parse
{
    Incomplete,
    Complete,
    Malformed
};

Parse takeRequest(QByteArray& buffer, RecordedRequest* request)
{
    // Empty lines between requests are allowed and skipped.
    while (buffer.startsWith("\r\n"))
        buffer.remove(0, 2);
    const int headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return Parse::Incomplete;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine.at(2).startsWith("HTTP/1."))
        return Parse::Malformed;
    RecordedRequest result;
    result.method = requestLine.at(0);
    result.target = requestLine.at(1);
    result.version = requestLine.at(2);
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines.at(i).indexOf(':');
        if (colon <= 0)
            return Parse::Malformed;
        result.headers.append({lines.at(i).left(colon), lines.at(i).mid(colon + 1).trimmed()});
    }
    // Chunked request bodies are not supported: refuse rather than hang.
    if (result.hasHeader("Transfer-Encoding"))
        return Parse::Malformed;
    int length = 0;
    if (result.hasHeader("Content-Length")) {
        bool ok = false;
        length = result.header("Content-Length").toInt(&ok);
        if (!ok || length < 0)
            return Parse::Malformed;
    }
    const int bodyStart = headEnd + 4;
    if (buffer.size() - bodyStart < length)
        return Parse::Incomplete;
    result.body = buffer.mid(bodyStart, length);
    buffer.remove(0, bodyStart + length);
    *request = result;
    return Parse::Complete;
}

} // namespace

QByteArray RecordedRequest::header(const QByteArray& name) const
{
    for (const auto& pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            return pair.second;
    }
    return {};
}

bool RecordedRequest::hasHeader(const QByteArray& name) const
{
    return hasHeaderIn(headers, name);
}

int RecordedRequest::headerCount(const QByteArray& name) const
{
    int count = 0;
    for (const auto& pair : headers) {
        if (pair.first.compare(name, Qt::CaseInsensitive) == 0)
            ++count;
    }
    return count;
}

QString RecordedRequest::path() const
{
    const int mark = target.indexOf('?');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(mark < 0 ? target : target.left(mark)));
}

QUrlQuery RecordedRequest::query() const
{
    const int mark = target.indexOf('?');
    return QUrlQuery(mark < 0 ? QString() : QString::fromUtf8(target.mid(mark + 1)));
}

ScriptedResponse ScriptedResponse::json(int status, const QByteArray& body)
{
    ScriptedResponse response;
    response.status = status;
    response.headers = {{"Content-Type", "application/json"}};
    response.body = body;
    return response;
}

ScriptedResponse ScriptedResponse::redirect(int status, const QByteArray& location)
{
    ScriptedResponse response;
    response.status = status;
    response.headers = {{"Location", location}};
    return response;
}

// Hands every accepted descriptor over as a socket, a TLS one when asked, so
// the connection can be set up before the handshake starts.
class TestHttpServer::Listener : public QTcpServer
{
public:
    Listener(TestHttpServer* server) : QTcpServer(server), m_server(server) {}

protected:
    void incomingConnection(qintptr descriptor) override
    {
        QTcpSocket* socket = m_server->m_transport == Transport::Tls ? new QSslSocket : new QTcpSocket;
        if (socket->setSocketDescriptor(descriptor))
            m_server->accept(socket);
        else
            delete socket;
    }

private:
    TestHttpServer* m_server;
};

// One client connection: reads requests as they arrive and answers them one
// at a time. Delayed steps are timers owned by this object, so they vanish
// with the connection.
class TestHttpServer::Connection : public QObject
{
public:
    Connection(TestHttpServer* server, QTcpSocket* socket);
    ~Connection() override;

private:
    void onReadyRead();
    void serveBuffered();
    void answer(const ScriptedResponse& response, bool withBody);
    void later(int ms, std::function<void()> step);
    void write(const QByteArray& bytes);
    void finishAnswer();
    void onClosed();

    TestHttpServer* m_server;
    QTcpSocket* m_socket;
    QByteArray m_buffer;
    bool m_answering = false;
    bool m_closeAfterAnswer = false;
    bool m_secured;
    bool m_closed = false;
};

TestHttpServer::Connection::Connection(TestHttpServer* server, QTcpSocket* socket)
    : QObject(server), m_server(server), m_socket(socket), m_secured(server->m_transport == Transport::Plain)
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &Connection::onReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &Connection::onClosed);
    connect(socket, &QTcpSocket::errorOccurred, this, [this] {
        if (!m_secured)
            onClosed();
    });
    if (auto* tls = qobject_cast<QSslSocket*>(socket))
        connect(tls, &QSslSocket::encrypted, this, [this] { m_secured = true; });
}

TestHttpServer::Connection::~Connection()
{
    // The socket goes with this object; it must not call back into it meanwhile.
    m_socket->disconnect(this);
    m_socket->abort();
}

void TestHttpServer::Connection::onReadyRead()
{
    const QByteArray bytes = m_socket->readAll();
    m_server->m_received += bytes;
    m_buffer += bytes;
    serveBuffered();
}

void TestHttpServer::Connection::serveBuffered()
{
    if (m_answering || m_closed)
        return;
    RecordedRequest request;
    switch (takeRequest(m_buffer, &request)) {
    case Parse::Incomplete:
        return;
    case Parse::Malformed: {
        ScriptedResponse badRequest;
        badRequest.status = 400;
        m_buffer.clear();
        m_closeAfterAnswer = true;
        m_answering = true;
        answer(badRequest, true);
        return;
    }
    case Parse::Complete:
        break;
    }
    // HTTP/1.0 clients close unless they ask otherwise.
    const QByteArray connectionHeader = request.header("Connection");
    m_closeAfterAnswer = hasToken(connectionHeader, "close") ||
                         (request.version == "HTTP/1.0" && !hasToken(connectionHeader, "keep-alive"));
    m_answering = true;
    m_server->m_requests.append(request);
    emit m_server->requestReceived(request);
    const ScriptedResponse response = m_server->answerFor(request);
    if (response.closeWithoutAnswer) {
        m_socket->disconnectFromHost();
        return;
    }
    if (response.neverAnswer)
        return;
    later(response.delayBeforeHeadersMs,
          [this, response, head = request.method == "HEAD"] { answer(response, !head); });
}

void TestHttpServer::Connection::answer(const ScriptedResponse& response, bool withBody)
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' +
                      (response.reason.isEmpty() ? reasonPhrase(response.status) : response.reason) + "\r\n";
    for (const auto& header : response.headers)
        head += header.first + ": " + header.second + "\r\n";
    if (!hasHeaderIn(response.headers, "Content-Length"))
        head += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    if (!hasHeaderIn(response.headers, "Connection"))
        head += m_closeAfterAnswer ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
    write(head + "\r\n");

    const QByteArray body = withBody ? response.body : QByteArray();
    if (body.isEmpty()) {
        finishAnswer();
        return;
    }
    later(response.delayBeforeBodyMs, [this, body, pause = response.delayAfterFirstBodyByteMs] {
        write(body.left(1));
        later(pause, [this, rest = body.mid(1)] {
            write(rest);
            finishAnswer();
        });
    });
}

void TestHttpServer::Connection::later(int ms, std::function<void()> step)
{
    if (ms <= 0)
        step();
    else
        QTimer::singleShot(ms, Qt::PreciseTimer, this, std::move(step));
}

void TestHttpServer::Connection::write(const QByteArray& bytes)
{
    if (m_closed || bytes.isEmpty())
        return;
    m_socket->write(bytes);
    // Out at once, so a client sees each part before the next delay ends.
    m_socket->flush();
}

void TestHttpServer::Connection::finishAnswer()
{
    if (m_closed)
        return;
    m_answering = false;
    if (m_closeAfterAnswer)
        m_socket->disconnectFromHost(); // after the pending bytes are written
    else
        serveBuffered();
}

void TestHttpServer::Connection::onClosed()
{
    if (m_closed)
        return;
    m_closed = true;
    if (!m_secured)
        ++m_server->m_failedHandshakes;
    m_server->m_connections.remove(this);
    deleteLater();
}

TestHttpServer::TestHttpServer(Transport transport, QObject* parent)
    : QObject(parent), m_transport(transport), m_listener(new Listener(this))
{
    qRegisterMetaType<RecordedRequest>(); // QSignalSpy stores the signal's argument
    if (!m_listener->listen(QHostAddress::LocalHost))
        qWarning("TestHttpServer: cannot listen: %s", qPrintable(m_listener->errorString()));
}

TestHttpServer::~TestHttpServer()
{
    m_listener->close();
    const QSet<Connection*> connections = m_connections;
    qDeleteAll(connections);
}

void TestHttpServer::accept(QTcpSocket* socket)
{
    ++m_connectionCount;
    m_connections.insert(new Connection(this, socket));
    if (auto* tls = qobject_cast<QSslSocket*>(socket)) {
        tls->setLocalCertificate(certificate());
        tls->setPrivateKey(privateKey());
        tls->setPeerVerifyMode(QSslSocket::VerifyNone);
        tls->startServerEncryption();
    }
}

ScriptedResponse TestHttpServer::answerFor(const RecordedRequest& request)
{
    if (!m_queue.isEmpty())
        return m_queue.dequeue();
    if (m_handler)
        return m_handler(request);
    ScriptedResponse notFound;
    notFound.status = 404;
    return notFound;
}

bool TestHttpServer::isListening() const
{
    return m_listener->isListening();
}

quint16 TestHttpServer::port() const
{
    return m_listener->serverPort();
}

QUrl TestHttpServer::baseUrl() const
{
    return QUrl(baseUrlText());
}

QString TestHttpServer::baseUrlText() const
{
    const QString scheme = m_transport == Transport::Tls ? QStringLiteral("https") : QStringLiteral("http");
    return scheme + QStringLiteral("://127.0.0.1:") + QString::number(port());
}

void TestHttpServer::setHandler(Handler handler)
{
    m_queue.clear();
    m_handler = std::move(handler);
}

void TestHttpServer::enqueue(const ScriptedResponse& response)
{
    m_queue.enqueue(response);
}

int TestHttpServer::queuedResponses() const
{
    return m_queue.size();
}

QList<RecordedRequest> TestHttpServer::requests() const
{
    return m_requests;
}

int TestHttpServer::connectionCount() const
{
    return m_connectionCount;
}

int TestHttpServer::openConnectionCount() const
{
    return m_connections.size();
}

int TestHttpServer::failedHandshakes() const
{
    return m_failedHandshakes;
}

QByteArray TestHttpServer::decryptedBytesReceived() const
{
    return m_received;
}

void TestHttpServer::clear()
{
    m_requests.clear();
}

QString TestHttpServer::tlsUnavailableReason()
{
#if QT_CONFIG(schannel)
    // Qt 5 hands Schannel no private key of its own: a server's certificate
    // must come from the Windows certificate store, not from a file.
    return QStringLiteral("Qt 5's Schannel back end serves only certificates of the Windows certificate store");
#else
    return QSslSocket::supportsSsl() ? QString() : QStringLiteral("no TLS library");
#endif
}

QSslCertificate TestHttpServer::certificate()
{
    static const QSslCertificate certificate(readTlsFile("server.crt"));
    return certificate;
}
