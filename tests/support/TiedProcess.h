#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Starts a server program for a test so that it can't outlive the test: a
// shell runs it and ends it as soon as its input closes, which happens when the
// test ends however it ends (a crash or an abort included). Closing the
// process's write channel ends the server on purpose.
void startTiedToThisProcess(QProcess& process, const QString& program, const QStringList& arguments);
