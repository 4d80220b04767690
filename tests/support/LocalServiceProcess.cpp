#include "LocalServiceProcess.h"

#include <QDeadlineTimer>
#include <QUrl>

LocalServiceProcess::LocalServiceProcess(QStringList extraArguments) : m_extraArguments(std::move(extraArguments)) {}

LocalServiceProcess::~LocalServiceProcess()
{
    // A service that crashed, or found a fault of its own on the way out (a
    // sanitizer's report), fails the test even where the test didn't stop it.
    if (!stop())
        qFatal("%s", qPrintable(m_error));
}

QString LocalServiceProcess::programPath()
{
    return QStringLiteral(SONVERA_LOCAL_SERVICE_PROGRAM);
}

bool LocalServiceProcess::start()
{
    m_baseUrl.clear();
    m_error.clear();
    QStringList arguments{QStringLiteral("--port"), QString::number(m_port), QStringLiteral("--db"), databasePath()};
    arguments += m_extraArguments;
    m_process.start(programPath(), arguments);
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("the service did not start: ") + m_process.errorString();
        return false;
    }
    // Seeding a new database takes a moment; the URL comes after it.
    const QDeadlineTimer deadline(30000);
    while (!m_process.canReadLine() && !deadline.hasExpired() && m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(100);
    if (!m_process.canReadLine()) {
        m_error = QStringLiteral("the service printed no address; it said: ") + log();
        return false;
    }
    m_baseUrl = QString::fromUtf8(m_process.readLine()).trimmed();
    m_port = QUrl(m_baseUrl).port();
    return true;
}

bool LocalServiceProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return endedCleanly();
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
        m_error = QStringLiteral("the service did not stop on SIGTERM");
        return false;
    }
    return endedCleanly();
}

bool LocalServiceProcess::endedCleanly()
{
    if (m_process.error() == QProcess::FailedToStart)
        return true; // start() has said why
    if (m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0)
        return true;
    const QString ending = m_process.exitStatus() == QProcess::CrashExit
                               ? QStringLiteral("crashed")
                               : QStringLiteral("ended with exit code %1").arg(m_process.exitCode());
    m_error = QStringLiteral("the service %1; it said: %2").arg(ending, log());
    return false;
}

QString LocalServiceProcess::log()
{
    m_log += m_process.readAllStandardError();
    return QString::fromUtf8(m_log);
}
