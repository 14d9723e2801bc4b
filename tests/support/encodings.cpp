#include "support/encodings.h"

#include <zlib.h>

#include <algorithm>

namespace tally::test {

namespace {

// zlib's deflate of `total` bytes handed in as `piece` again and again (the last one cut), in
// the gzip wrapper (windowBits 31) or the zlib one (15).
QByteArray deflateRepeated(const QByteArray& piece, qint64 total, int windowBits) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out;
    char buffer[64 * 1024];
    for (qint64 left = total;;) {
        const qint64 take = std::min<qint64>(left, piece.size());
        left -= take;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.constData()));
        z.avail_in = uInt(take);
        const int flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        int status;
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            status = deflate(&z, flush);
            out.append(buffer, qsizetype(sizeof buffer - z.avail_out));
        } while (z.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
        if (left == 0)
            break;
    }
    deflateEnd(&z);
    return out;
}

void appendLittleEndian(QByteArray& out, quint64 value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 0xff);
}

} // namespace

QByteArray gzipped(const QByteArray& data) {
    return deflateRepeated(data, data.size(), 31);
}

QByteArray gzippedZeros(qint64 size) {
    return deflateRepeated(QByteArray(1024 * 1024, '\0'), size, 31);
}

QByteArray deflated(const QByteArray& data) {
    return deflateRepeated(data, data.size(), 15);
}

QByteArray storedBrotli(const QByteArray& data) {
    // Bits from the least significant: the stream's WBITS "0" (a 64 KiB window) before the first
    // block; per block ISLAST 0, MNIBBLES 0 (four nibbles), MLEN - 1 in 16 bits, ISUNCOMPRESSED
    // 1, zeros to the byte boundary, the bytes. Last an empty block: ISLAST 1, ISLASTEMPTY 1.
    QByteArray out;
    for (qsizetype at = 0; at < data.size(); at += 65536) {
        const qsizetype length = std::min<qsizetype>(65536, data.size() - at);
        const int shift = at == 0 ? 1 : 0;
        const quint32 header = (quint32(length - 1) << (3 + shift)) | (1u << (19 + shift));
        appendLittleEndian(out, header, 3);
        out += data.mid(at, length);
    }
    out += char(0x03);
    return out;
}

QByteArray storedZstd(const QByteArray& data) {
    // Magic number, a frame header of one segment with a 4-byte content size, then blocks whose
    // 3-byte header holds Last_Block (bit 0), Block_Type 0 = raw (bits 1-2) and the size.
    QByteArray out;
    appendLittleEndian(out, 0xFD2FB528, 4);
    out += char(0xA0);
    appendLittleEndian(out, quint64(data.size()), 4);
    for (qsizetype at = 0; at < data.size(); at += 128 * 1024) {
        const qsizetype length = std::min<qsizetype>(128 * 1024, data.size() - at);
        const bool last = at + length == data.size();
        appendLittleEndian(out, (quint64(length) << 3) | (last ? 1 : 0), 3);
        out += data.mid(at, length);
    }
    return out;
}

} // namespace tally::test
