#include "TiedProcess.h"

void startTiedToThisProcess(QProcess& process, const QString& program, const QStringList& arguments)
{
    process.setProgram(QStringLiteral("/bin/sh"));
    process.setArguments(QStringList{QStringLiteral("-c"),
                                     QStringLiteral("\"$0\" \"$@\" & server=$!; cat >/dev/null; kill $server; wait"),
                                     program} +
                         arguments);
    process.start();
}
