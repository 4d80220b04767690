#pragma once

#include <QByteArray>

// Largest inflated payload accepted. The service's payloads are far smaller;
// the cap keeps a corrupt or hostile stream from exhausting memory.
inline constexpr qint64 unzipOutputLimit = qint64(256) * 1024 * 1024;

// Inflates a gzip stream. Returns the inflated bytes, what was inflated before
// a stream that stops early ended, or an empty array on any failure, including
// output that would pass maxOutput bytes.
QByteArray unzip(const QByteArray& bytes, qint64 maxOutput = unzipOutputLimit);
