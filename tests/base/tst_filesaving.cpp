// A file is saved whole or not at all: a failed save leaves the earlier one
// as it was. The card's export test covers a folder that does not exist.
#include "base/FileSaving.h"

#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

class FileSavingTest : public QObject
{
    Q_OBJECT

private slots:
    void replacesTheWholeFileOrNothing();
    void defaultSuffix();
};

void FileSavingTest::replacesTheWholeFileOrNothing()
{
    QTemporaryDir folder;
    QFile file(folder.filePath("export.xlsx"));
    const auto contents = [&file] { return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(); };
    QVERIFY(saveWholeFile(file.fileName(), "earlier workbook"));
    const QByteArray bytes(64 * 1024, 'x');
#ifdef Q_OS_UNIX
    // As on a nearly full disk, no file may grow past 4 KiB: the write fails
    // instead of ending the process. Limits are restored before any check.
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit limit = before;
    limit.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool savedOnAFullDisk = saveWholeFile(file.fileName(), bytes);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, handler);
    QVERIFY(!savedOnAFullDisk);
    QCOMPARE(contents(), QByteArray("earlier workbook"));
    file.close();
#endif
    QVERIFY(saveWholeFile(file.fileName(), bytes));
    QCOMPARE(contents(), bytes);
    // No temporary file is left behind either way.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"export.xlsx"});
}

void FileSavingTest::defaultSuffix()
{
    QCOMPARE(withDefaultSuffix("/home/anna/export", "xlsx"), QStringLiteral("/home/anna/export.xlsx"));
    // The file's own suffix is kept, whatever it is; a dot in a folder's name is none.
    QCOMPARE(withDefaultSuffix("/home/anna/export.xls", "xlsx"), QStringLiteral("/home/anna/export.xls"));
    QCOMPARE(withDefaultSuffix("/home/anna/v1.2/export", "xlsx"), QStringLiteral("/home/anna/v1.2/export.xlsx"));
    QCOMPARE(withDefaultSuffix(QString(), "xlsx"), QString()); // nothing chosen
}

QTEST_GUILESS_MAIN(FileSavingTest)
#include "tst_filesaving.moc"
