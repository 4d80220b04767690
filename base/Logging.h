#pragma once

#include <QString>
#include <QtGlobal>

class QDateTime;

// One line of the log file without its line feed: "[dd/MM/yyyy hh:mm:ss] "
// followed by the level text with the message.
QString formatLogLine(QtMsgType type, const QDateTime& when, const QString& message);

// The process-wide message handler: appends every message to "sonvera.log" in
// the current working directory, reopening the file for each message.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);
