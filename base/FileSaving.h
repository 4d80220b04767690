#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Writes all of bytes to path through a temporary file beside it, which
// replaces the file at path only once every byte is written. False when
// anything failed (a folder that can't be written, a full disk): a file
// already at path is then left as it was.
bool saveWholeFile(const QString& path, const QByteArray& bytes);
// The same, the file taking those permissions before its first byte is
// written: for what other users of the computer may not read.
bool saveWholeFile(const QString& path, const QByteArray& bytes, QFileDevice::Permissions permissions);
