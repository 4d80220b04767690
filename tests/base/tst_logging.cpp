#include "base/Logging.h"
#include "support/WorkingDirectory.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

QByteArray readLog(const QString& folder)
{
    QFile file(QDir(folder).filePath(QStringLiteral("sonvera.log")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray readLog(const ScopedWorkingDirectory& folder)
{
    return readLog(folder.path());
}

// For one test scope, the handler writes into the given folder.
class ScopedLogFolder
{
public:
    explicit ScopedLogFolder(const QString& folder) { setLogFolder(folder); }
    ~ScopedLogFolder() { setLogFolder({}); }
    ScopedLogFolder(const ScopedLogFolder&) = delete;
    ScopedLogFolder& operator=(const ScopedLogFolder&) = delete;
};

void log(QtMsgType type, const QString& message)
{
    messageHandler(type, QMessageLogContext(), message);
}

} // namespace

class LoggingTest : public QObject
{
    Q_OBJECT

private slots:
    void lineFormat_data();
    void lineFormat();
    void handlerWritesExactBytes();
    void handlerAppendsToAnEarlierLog();
    void installedHandlerCatchesToolkitMessages();
    void unopenableLogLosesTheLineSilently();
    void readOnlyWorkingDirectoryLosesTheLineSilently();
    void linesFromManyThreadsStayWhole();
    void logFolder_data();
    void logFolder();
    void defaultFolder();
};

void LoggingTest::lineFormat_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("expected");

    QTest::newRow("debug") << int(QtDebugMsg) << "loaded"
                           << "[06/12/2026 15:04:05] {Debug} \t\t loaded";
    QTest::newRow("warning") << int(QtWarningMsg) << "Empty URL"
                             << "[06/12/2026 15:04:05] {Warning} \t Empty URL";
    QTest::newRow("critical") << int(QtCriticalMsg) << "boom"
                              << "[06/12/2026 15:04:05] {Critical} \t boom";
    QTest::newRow("fatal") << int(QtFatalMsg) << "gone"
                           << "[06/12/2026 15:04:05] {Fatal} \t\t gone";
    QTest::newRow("info") << int(QtInfoMsg) << "hello"
                          << "[06/12/2026 15:04:05] {Info} \t\t hello";
    QTest::newRow("unknown level keeps the date alone") << 42 << "ignored"
                                                        << "[06/12/2026 15:04:05] ";
    QTest::newRow("placeholders in the message are kept") << int(QtWarningMsg) << "50% of %1 done"
                                                          << "[06/12/2026 15:04:05] {Warning} \t 50% of %1 done";
    QTest::newRow("non-ASCII message") << int(QtInfoMsg) << QStringLiteral("Пациент удалён")
                                       << QStringLiteral("[06/12/2026 15:04:05] {Info} \t\t Пациент удалён");
}

void LoggingTest::lineFormat()
{
    QFETCH(int, type);
    QFETCH(QString, message);
    QFETCH(QString, expected);
    const QDateTime when(QDate(2026, 12, 6), QTime(15, 4, 5));
    QCOMPARE(formatLogLine(QtMsgType(type), when, message), expected);
}

void LoggingTest::handlerWritesExactBytes()
{
    ScopedWorkingDirectory folder;
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-999);
    log(QtWarningMsg, QStringLiteral("Empty URL"));
    const QDateTime after = QDateTime::currentDateTime();

    const QByteArray bytes = readLog(folder);
    const QRegularExpression line(QStringLiteral("^\\[(\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d)\\] "
                                                 "\\{Warning\\} \t Empty URL\n$"));
    const QRegularExpressionMatch match = line.match(QString::fromLatin1(bytes));
    QVERIFY2(match.hasMatch(), bytes.constData());
    QVERIFY(!bytes.contains('\r'));
    const QDateTime stamp = QDateTime::fromString(match.captured(1), QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    QVERIFY(stamp.isValid());
    QVERIFY2(stamp >= before && stamp <= after, qPrintable(match.captured(1)));
}

void LoggingTest::handlerAppendsToAnEarlierLog()
{
    ScopedWorkingDirectory folder;
    {
        QFile earlier(folder.filePath(QStringLiteral("sonvera.log")));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("[01/01/2026 00:00:00] {Info} \t\t earlier run\n");
    }
    log(QtInfoMsg, QStringLiteral("first"));
    log(QtCriticalMsg, QStringLiteral("second"));

    const QList<QByteArray> lines = readLog(folder).split('\n');
    QCOMPARE(lines.size(), 4); // three lines and the empty rest after the last line feed
    QCOMPARE(lines.at(0), QByteArray("[01/01/2026 00:00:00] {Info} \t\t earlier run"));
    QVERIFY(lines.at(1).endsWith("] {Info} \t\t first"));
    QVERIFY(lines.at(2).endsWith("] {Critical} \t second"));
    QVERIFY(lines.at(3).isEmpty());
}

void LoggingTest::installedHandlerCatchesToolkitMessages()
{
    ScopedWorkingDirectory folder;
    const QtMessageHandler previous = qInstallMessageHandler(messageHandler);
    qWarning("Unknown operation: %d", 7);
    qDebug() << "debug line";
    qInstallMessageHandler(previous);

    const QList<QByteArray> lines = readLog(folder).split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).endsWith("] {Warning} \t Unknown operation: 7"));
    QVERIFY(lines.at(1).endsWith("] {Debug} \t\t debug line"));
}

void LoggingTest::unopenableLogLosesTheLineSilently()
{
    ScopedWorkingDirectory folder;
    // A folder in the place of the log file can't be opened even by root.
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sonvera.log")));
    log(QtWarningMsg, QStringLiteral("lost"));
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("sonvera.log"))).isDir());
}

void LoggingTest::readOnlyWorkingDirectoryLosesTheLineSilently()
{
#ifndef Q_OS_UNIX
    QSKIP("a folder's permissions are not the owner's bits here");
#else
    if (geteuid() == 0)
        QSKIP("root writes into read-only folders; the case of an unopenable file covers this path");
    ScopedWorkingDirectory readOnly;
    QVERIFY(QFile::setPermissions(readOnly.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    log(QtWarningMsg, QStringLiteral("lost too"));
    QVERIFY(!QFileInfo::exists(readOnly.filePath(QStringLiteral("sonvera.log"))));
    QFile::setPermissions(readOnly.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#endif
}

void LoggingTest::linesFromManyThreadsStayWhole()
{
    ScopedWorkingDirectory folder;
    // Lines longer than a stream's buffer take several writes each; from four
    // threads at once those writes must not mix.
    const int threads = 4;
    const int linesEach = 20;
    QList<QThread*> writers;
    for (int t = 0; t < threads; ++t) {
        writers.append(QThread::create([t] {
            const QString body(40000, QChar(u'a' + t));
            for (int i = 0; i < linesEach; ++i)
                log(QtInfoMsg, body);
        }));
        writers.last()->start();
    }
    for (QThread* writer : qAsConst(writers)) {
        QVERIFY(writer->wait(60000));
        delete writer;
    }

    const QList<QByteArray> lines = readLog(folder).split('\n');
    QCOMPARE(lines.size(), threads * linesEach + 1);
    for (const QByteArray& line : lines.mid(0, threads * linesEach)) {
        const QByteArray body = line.mid(line.indexOf("\t\t ") + 3);
        QCOMPARE(body.size(), 40000);
        QCOMPARE(body.count(body.at(0)), body.size());
    }
}

void LoggingTest::logFolder_data()
{
    QTest::addColumn<QString>("folder"); // below a fresh folder; empty for the working directory

    QTest::newRow("working directory") << QString();
    QTest::newRow("a folder made on the first line") << QStringLiteral("AppData/Local/Sonvera Labs/Sonvera");
    QTest::newRow("a profile named in Cyrillic") << QStringLiteral("Users/Анна/AppData/Local/Sonvera Labs/Sonvera");
}

void LoggingTest::logFolder()
{
    QFETCH(QString, folder);
    ScopedWorkingDirectory base;
    const QString logFolder = folder.isEmpty() ? QString() : base.filePath(folder);
    {
        ScopedLogFolder scoped(logFolder);
        log(QtInfoMsg, QStringLiteral("Карта пациента сохранена"));
        log(QtWarningMsg, QStringLiteral("second"));
    }

    const QList<QByteArray> lines = readLog(logFolder.isEmpty() ? base.path() : logFolder).split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(0).endsWith(QStringLiteral("] {Info} \t\t Карта пациента сохранена").toUtf8()));
    QVERIFY(lines.at(1).endsWith("] {Warning} \t second"));
}

// The program's own folder for its log: on Windows in the profile's local
// application data, since an installed program's working directory is not
// writable; elsewhere the working directory. (The Windows suite runs in a
// profile named in Cyrillic: scripts/windows.sh.)
void LoggingTest::defaultFolder()
{
#ifdef Q_OS_WIN
    QCoreApplication::setOrganizationName(QStringLiteral("Sonvera Labs"));
    QCoreApplication::setApplicationName(QStringLiteral("Sonvera"));
    const QString folder = defaultLogFolder();
    QVERIFY2(folder.startsWith(QDir::homePath() + QLatin1Char('/')), qPrintable(folder));
    QVERIFY2(folder.endsWith(QLatin1String("/Sonvera Labs/Sonvera")), qPrintable(folder));

    const bool madeHere = !QFileInfo::exists(folder);
    {
        ScopedLogFolder scoped(folder);
        log(QtInfoMsg, QStringLiteral("started in ") + folder);
    }
    const QByteArray written = readLog(folder);
    if (madeHere) {
        QFile::remove(QDir(folder).filePath(QStringLiteral("sonvera.log")));
        // And the organisation's folder, when nothing else is in it.
        QDir().rmdir(folder);
        QDir().rmdir(QFileInfo(folder).path());
    }
    QVERIFY(written.endsWith(QStringLiteral("] {Info} \t\t started in %1\n").arg(folder).toUtf8()));
#else
    QCOMPARE(defaultLogFolder(), QString());
#endif
}

QTEST_GUILESS_MAIN(LoggingTest)
#include "tst_logging.moc"
