#pragma once

#include <QByteArray>
#include <QList>

// Decodes the service's impact audio reply, once unpacked: a JSON array of
// Base64 texts, one per marker, each decoding to a block of raw samples.
// Leniently, like QJsonDocument followed by Base64 decoding of each element:
// a body that is not a JSON array gives no blocks, an element that is not a
// text gives an empty block, and characters outside the Base64 alphabet are
// skipped. Blocks keep the order of the array.
QList<QByteArray> decodeAudioBlocks(const QByteArray& json);
