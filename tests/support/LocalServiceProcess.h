#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the local service program for a test: a fresh database in a temporary
// folder (kept across restart() so tests can check persistence), a free
// loopback port, and its log collected for failure messages.
class LocalServiceProcess
{
public:
    explicit LocalServiceProcess(QStringList extraArguments = {});
    ~LocalServiceProcess();
    LocalServiceProcess(const LocalServiceProcess&) = delete;
    LocalServiceProcess& operator=(const LocalServiceProcess&) = delete;

    // Starts the program and waits for its base URL; false (with the reason
    // in errorText()) when it doesn't come up. It comes up again on the port
    // it had, so that a client pointed at it finds it after a restart.
    bool start();
    // Stops it as the run command does (SIGTERM) and waits for the exit;
    // false when it doesn't stop or ends with a failure.
    bool stop();
    bool restart() { return stop() && start(); }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    QString baseUrl() const { return m_baseUrl; }
    QString databasePath() const { return m_folder.filePath(QStringLiteral("service.db")); }
    QString errorText() const { return m_error; }
    // What the service has logged so far (one line per request).
    QString log();
    int exitCode() const { return m_process.exitCode(); }
    qint64 processId() const { return m_process.processId(); }

    static QString programPath();

private:
    bool endedCleanly();

    QTemporaryDir m_folder;
    QStringList m_extraArguments;
    QProcess m_process;
    QString m_baseUrl;
    int m_port = 0;
    QString m_error;
    QByteArray m_log;
};
