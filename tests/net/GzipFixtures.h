#pragma once

#include <QByteArray>

// gzip streams made by zlib itself, for feeding the client's inflater.
namespace GzipFixtures {

// The bytes compressed with the gzip wrapper (or the zlib one when gzip is
// false) at the default level.
QByteArray compress(const QByteArray& bytes, bool gzip = true);

// Deterministic bytes that compress only moderately, like audio.
QByteArray noiseLikeBytes(int size, unsigned seed = 1);

} // namespace GzipFixtures
