// Bodies in HTTP's content encodings (RFC 9110, section 8.4.1), made for the tests exactly as the
// formats are specified: gzip (RFC 1952) and deflate (the zlib format, RFC 1950) through zlib;
// brotli (RFC 7932) and zstd (RFC 8878) as their formats' stored blocks, which every decoder
// reads, so that the tests need no encoder library.
#pragma once

#include <QByteArray>

namespace tally::test {

QByteArray gzipped(const QByteArray& data);
// A gzip stream of size zero bytes, made piece by piece: a few KB that decode to any size.
QByteArray gzippedZeros(qint64 size);
QByteArray deflated(const QByteArray& data);
// One uncompressed meta-block per 64 KiB, then the empty last one.
QByteArray storedBrotli(const QByteArray& data);
// One frame (its content size given) of raw blocks of at most 128 KiB.
QByteArray storedZstd(const QByteArray& data);

} // namespace tally::test
