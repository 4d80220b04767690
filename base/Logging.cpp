#include "base/Logging.h"

#include "base/AppConstants.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>

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
    // Messages come from any thread; one at a time, so a long line written in
    // several pieces is never mixed with another.
    static QBasicMutex writing;
    const QMutexLocker locker(&writing);
    QFile file(AppConstants::logFileName);
    // A log that can't be opened loses the line: logging must never stop the program.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(line);
}
