#pragma once

#include "TestHttpServer.h"

#include <QByteArray>
#include <QString>

// Points the client at a test server for one scope and gives it a signed-in
// account; the transport's shared headers and time-out are restored after.
class ServiceTestEnvironment
{
public:
    explicit ServiceTestEnvironment(const QString& baseUrl, int readTimeoutMs = 5000);
    ~ServiceTestEnvironment();
    ServiceTestEnvironment(const ServiceTestEnvironment&) = delete;
    ServiceTestEnvironment& operator=(const ServiceTestEnvironment&) = delete;

    static QByteArray signInAnswer(const QByteArray& token);
};
