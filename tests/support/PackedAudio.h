#pragma once

#include <QByteArray>
#include <QList>

// The service's impact audio answer as it travels: a JSON array of Base64
// blocks, gzip-compressed, then Base64 again. The client unpacks it to the
// JSON array.
QByteArray packedAudioReply(const QList<QByteArray>& blocks);
