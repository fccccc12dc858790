#include "imaging/jpegheader.h"

namespace Pw {

namespace {

int twoBytes(QByteArrayView bytes, qsizetype at)
{
    return (uchar(bytes[at]) << 8) | uchar(bytes[at + 1]);
}

bool isFrameMarker(uchar marker)
{
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

QSize JpegFrameSize(QByteArrayView bytes)
{
    if (bytes.size() < 4 || uchar(bytes[0]) != 0xFF || uchar(bytes[1]) != 0xD8)
        return {};
    qsizetype at = 2;
    while (at + 4 <= bytes.size()) {
        if (uchar(bytes[at]) != 0xFF)
            return {};
        const uchar marker = uchar(bytes[at + 1]);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            return {}; // no frame header before the image data
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        const int length = twoBytes(bytes, at + 2);
        if (length < 2)
            return {};
        if (isFrameMarker(marker)) {
            if (length < 7 || at + 9 > bytes.size())
                return {};
            const int height = twoBytes(bytes, at + 5);
            const int width = twoBytes(bytes, at + 7);
            return width > 0 && height > 0 ? QSize(width, height) : QSize();
        }
        at += 2 + length;
    }
    return {};
}

} // namespace Pw
