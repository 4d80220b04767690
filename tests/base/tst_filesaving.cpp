// A file is saved whole or not at all: a failed save leaves the earlier one
// as it was. The card's export test covers a folder that does not exist.
#include "base/FileSaving.h"
#include "support/ScopedFileSizeLimit.h"

#include <QTemporaryDir>
#include <QtTest>

class FileSavingTest : public QObject
{
    Q_OBJECT

private slots:
    void replacesTheWholeFileOrNothing();
};

void FileSavingTest::replacesTheWholeFileOrNothing()
{
    QTemporaryDir folder;
    QFile file(folder.filePath("export.xlsx"));
    const auto contents = [&file] { return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(); };
    QVERIFY(saveWholeFile(file.fileName(), "earlier workbook"));
    const QByteArray bytes(64 * 1024, 'x');
    if (ScopedFileSizeLimit::supported()) {
        bool savedOnAFullDisk = true;
        {
            const ScopedFileSizeLimit limit(4096);
            savedOnAFullDisk = saveWholeFile(file.fileName(), bytes);
        }
        QVERIFY(!savedOnAFullDisk);
        QCOMPARE(contents(), QByteArray("earlier workbook"));
        file.close();
    }
    QVERIFY(saveWholeFile(file.fileName(), bytes));
    QCOMPARE(contents(), bytes);
    // No temporary file is left behind either way.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"export.xlsx"});
}

QTEST_GUILESS_MAIN(FileSavingTest)
#include "tst_filesaving.moc"
