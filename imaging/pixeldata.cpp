#include "imaging/pixeldata.h"

#include <QByteArray>
#include <QIODevice>

namespace Pw {

namespace {

quint32 littleEndian(const QByteArray &bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | uchar(bytes.at(at + i));
    return value;
}

bool bmpShort(QIODevice &device, const QByteArray &head)
{
    if (head.size() < 30)
        return false;
    const qint64 dataStart = littleEndian(head, 10, 4);
    const quint32 dibSize = littleEndian(head, 14, 4);
    qint64 width = 0;
    qint64 height = 0;
    quint32 bits = 0;
    quint32 compression = 0;
    if (dibSize == 12) { // OS/2 1.x: 16-bit sizes, never compressed
        width = littleEndian(head, 18, 2);
        height = littleEndian(head, 20, 2);
        bits = littleEndian(head, 24, 2);
    } else if (dibSize >= 40 && head.size() >= 34) {
        width = qint32(littleEndian(head, 18, 4));
        height = qint32(littleEndian(head, 22, 4));
        bits = littleEndian(head, 28, 2);
        compression = littleEndian(head, 30, 4);
    } else {
        return false;
    }
    // BI_RGB and BI_BITFIELDS (and its alpha form) store whole rows; RLE and the rest do not say.
    if (compression != 0 && compression != 3 && compression != 6)
        return false;
    if (width <= 0 || bits == 0 || bits > 32)
        return false;
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    const qint64 needed = dataStart + rowBytes * qAbs(height);
    return device.size() < needed;
}

bool pngShort(QIODevice &device)
{
    // The end chunk (length 0, "IEND", its CRC) closes every whole PNG; a few bytes after it are
    // tolerated, as readers do.
    const qint64 size = device.size();
    const qint64 tail = qMin<qint64>(size, 4096);
    if (!device.seek(size - tail))
        return false;
    return !device.read(tail).contains(QByteArrayView("\0\0\0\0IEND", 8));
}

quint32 bigEndian(const QByteArray &bytes, int at)
{
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | uchar(bytes.at(at + i));
    return value;
}

} // namespace

QByteArray PngWholeChunks(QIODevice &device)
{
    if (device.isSequential() || !device.seek(0)
        || device.read(8) != QByteArrayView("\x89PNG\r\n\x1a\n"))
        return {};
    const qint64 size = device.size();
    qint64 at = 8;
    while (at + 12 <= size) {
        if (!device.seek(at))
            return {};
        const QByteArray head = device.read(8);
        if (head.size() < 8)
            break;
        const qint64 length = bigEndian(head, 0);
        if (length > size - at - 12)
            break; // runs past the end: the file is cut or garbled here
        if (head.mid(4, 4) == "IEND")
            return {}; // whole
        at += 12 + length;
    }
    if (!device.seek(0))
        return {};
    return device.read(at) + QByteArray("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
}

bool PixelDataShort(QIODevice &device)
{
    if (device.isSequential() || !device.seek(0))
        return false;
    const QByteArray head = device.read(64);
    if (head.startsWith("BM"))
        return bmpShort(device, head);
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return pngShort(device);
    return false;
}

} // namespace Pw
