#include "base/FileSaving.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(no file)");
}

#ifdef Q_OS_UNIX
// For one scope no file of the process may grow beyond `bytes`, as on a disk
// that is nearly full: a longer write fails instead of ending the process.
class FullDisk
{
public:
    explicit FullDisk(rlim_t bytes)
    {
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_limit);
        rlimit limit = m_limit;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_limit);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_limit{};
    void (*m_signal)(int) = nullptr;
};
#endif

} // namespace

class FileSavingTest : public QObject
{
    Q_OBJECT

private slots:
    void savesAllOrNothing_data();
    void savesAllOrNothing();
    void defaultSuffix_data();
    void defaultSuffix();
};

void FileSavingTest::savesAllOrNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("fullDisk");
    QTest::addColumn<bool>("saved");

    QTest::newRow("new file") << "new.xlsx" << 5000 << false << true;
    QTest::newRow("replaces an earlier file") << "earlier.xlsx" << 5000 << false << true;
    QTest::newRow("folder that does not exist") << "missing/new.xlsx" << 5000 << false << false;
#ifdef Q_OS_UNIX
    QTest::newRow("full disk keeps the earlier file") << "earlier.xlsx" << 64 * 1024 << true << false;
#endif
#ifdef Q_OS_LINUX
    // No one, not even root, creates files there.
    QTest::newRow("read-only folder") << "/proc/sonvera-saved.xlsx" << 5000 << false << false;
#endif
}

void FileSavingTest::savesAllOrNothing()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(bool, fullDisk);
    QFETCH(bool, saved);

    QTemporaryDir folder;
    const QByteArray earlier("earlier workbook");
    QFile earlierFile(folder.filePath(QStringLiteral("earlier.xlsx")));
    QVERIFY(earlierFile.open(QIODevice::WriteOnly) && earlierFile.write(earlier) == earlier.size());
    earlierFile.close();
    const QString path = name.startsWith(QLatin1Char('/')) ? name : folder.filePath(name);
    const QByteArray bytes(size, 'x');
    const QByteArray before = contents(path);

    bool result = false;
    if (fullDisk) {
#ifdef Q_OS_UNIX
        FullDisk disk(4096);
        result = saveWholeFile(path, bytes);
#endif
    } else {
        result = saveWholeFile(path, bytes);
    }
    QCOMPARE(result, saved);
    QCOMPARE(contents(path), saved ? bytes : before);
    // No temporary file is left behind either way.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), QFile::exists(folder.filePath("new.xlsx")) ? 2 : 1);
}

void FileSavingTest::defaultSuffix_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no suffix") << "/home/anna/export"
                               << "/home/anna/export.xlsx";
    QTest::newRow("suffix kept") << "/home/anna/export.xlsx"
                                 << "/home/anna/export.xlsx";
    QTest::newRow("another suffix kept") << "/home/anna/export.xls"
                                         << "/home/anna/export.xls";
    QTest::newRow("a dot in the folder only") << "/home/anna/v1.2/export"
                                              << "/home/anna/v1.2/export.xlsx";
    QTest::newRow("nothing chosen") << QString() << QString();
}

void FileSavingTest::defaultSuffix()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(withDefaultSuffix(path, QStringLiteral("xlsx")), expected);
}

QTEST_GUILESS_MAIN(FileSavingTest)
#include "tst_filesaving.moc"
