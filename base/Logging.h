#pragma once

#include <QString>
#include <QtGlobal>

class QDateTime;

// One line of the log file without its line feed: "[dd/MM/yyyy hh:mm:ss] "
// followed by the level text with the message.
QString formatLogLine(QtMsgType type, const QDateTime& when, const QString& message);

// The process-wide message handler: appends every message to "sonvera.log" in
// the log folder, reopening the file for each message.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// Where the program keeps its log. On Windows the folder where programs keep
// their local data (%LOCALAPPDATA%\<organisation>\<application>), because an
// installed program's working directory is not writable there; elsewhere
// empty, which stands for the current working directory. Asks the toolkit,
// so the application's and organisation's names must be set first.
QString defaultLogFolder();
// The folder messageHandler writes to from now on, created when it first
// writes; empty for the current working directory (the start value).
void setLogFolder(const QString& folder);
// The log file in the log folder; a relative path for the working directory.
QString logFilePath();
