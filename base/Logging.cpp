#include "base/Logging.h"

#include "base/AppConstants.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QStandardPaths>

namespace {

QString levelText(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("{Debug} \t\t %1");
    case QtWarningMsg:
        return QStringLiteral("{Warning} \t %1");
    case QtCriticalMsg:
        return QStringLiteral("{Critical} \t %1");
    case QtFatalMsg:
        return QStringLiteral("{Fatal} \t\t %1");
    case QtInfoMsg:
        return QStringLiteral("{Info} \t\t %1");
    }
    return {};
}

// Messages come from any thread; one at a time, so a long line written in
// several pieces is never mixed with another, nor with a change of folder.
QBasicMutex& logLock()
{
    static QBasicMutex lock;
    return lock;
}

QString& logFolder()
{
    // Never destroyed: the toolkit logs from destructors that run at exit.
    static auto* folder = new QString;
    return *folder;
}

QString filePathIn(const QString& folder)
{
    return folder.isEmpty() ? QString(AppConstants::logFileName) : QDir(folder).filePath(AppConstants::logFileName);
}

} // namespace

QString formatLogLine(QtMsgType type, const QDateTime& when, const QString& message)
{
    const QString date = QStringLiteral("[%1] ").arg(when.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")));
    const QString level = levelText(type);
    // A level that has no text of its own leaves the date part alone.
    return level.isEmpty() ? date : date + level.arg(message);
}

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(context)
    const QByteArray line = (formatLogLine(type, QDateTime::currentDateTime(), message) + u'\n').toUtf8();
    const QMutexLocker locker(&logLock());
    QFile file(filePathIn(logFolder()));
    // A log that can't be opened loses the line: logging must never stop the
    // program. A folder of its own may not exist yet on the first line.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (logFolder().isEmpty() || !QDir().mkpath(logFolder()) ||
            !file.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
    }
    file.write(line);
}

QString defaultLogFolder()
{
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
#else
    return {};
#endif
}

void setLogFolder(const QString& folder)
{
    const QMutexLocker locker(&logLock());
    logFolder() = folder;
}

QString logFilePath()
{
    const QMutexLocker locker(&logLock());
    return filePathIn(logFolder());
}
