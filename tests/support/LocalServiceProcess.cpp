#include "LocalServiceProcess.h"

#include <QDeadlineTimer>

LocalServiceProcess::LocalServiceProcess(QStringList extraArguments) : m_extraArguments(std::move(extraArguments)) {}

LocalServiceProcess::~LocalServiceProcess()
{
    stop();
}

QString LocalServiceProcess::programPath()
{
    return QStringLiteral(SONVERA_LOCAL_SERVICE_PROGRAM);
}

bool LocalServiceProcess::start()
{
    m_baseUrl.clear();
    m_error.clear();
    QStringList arguments{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--db"), databasePath()};
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
    return true;
}

bool LocalServiceProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return true;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
        m_error = QStringLiteral("the service did not stop on SIGTERM");
        return false;
    }
    return true;
}

QString LocalServiceProcess::log()
{
    m_log += m_process.readAllStandardError();
    return QString::fromUtf8(m_log);
}
