#include "base/FileSaving.h"

#include <QSaveFile>

namespace {

bool writeAndCommit(QSaveFile& file, const QString& path, const QByteArray& bytes)
{
    if (file.write(bytes) != bytes.size()) {
        qWarning("Cannot write %s: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        file.cancelWriting();
        return false;
    }
    // Commit flushes what is still buffered, so a full disk may show only here.
    if (!file.commit()) {
        qWarning("Cannot save %s: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        return false;
    }
    return true;
}

bool openForWriting(QSaveFile& file, const QString& path)
{
    if (file.open(QIODevice::WriteOnly))
        return true;
    qWarning("Cannot open %s for writing: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
    return false;
}

} // namespace

bool saveWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return openForWriting(file, path) && writeAndCommit(file, path, bytes);
}

bool saveWholeFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    if (!openForWriting(file, path))
        return false;
    // The temporary file is the one that will be renamed: its mode is the
    // saved file's.
    if (!file.setPermissions(permissions)) {
        qWarning("Cannot restrict access to %s: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        file.cancelWriting();
        return false;
    }
    return writeAndCommit(file, path, bytes);
}
