#include "base/FileSaving.h"

#include <QSaveFile>

bool saveWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qWarning("Cannot open %s for writing: %s", qUtf8Printable(path), qUtf8Printable(file.errorString()));
        return false;
    }
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
