#pragma once

// Colour profiles and pictures that carry them, made at run time for the tests.

#include <QByteArray>
#include <QtEndian>

#include <zlib.h>

namespace PwTest {

// `jpeg` with `icc` embedded right after its start marker, as APP2 "ICC_PROFILE" chunks.
inline QByteArray withIccProfile(QByteArray jpeg, const QByteArray &icc)
{
    constexpr qsizetype kChunk = 65519; // what fits one marker after its 14-byte header
    const int count = int((icc.size() + kChunk - 1) / kChunk);
    QByteArray markers;
    for (int i = 0; i < count; ++i) {
        const QByteArray part = icc.mid(i * kChunk, kChunk);
        const int length = 2 + 14 + int(part.size());
        markers.append("\xFF\xE2", 2).append(char(length >> 8)).append(char(length & 0xFF));
        markers.append("ICC_PROFILE\0", 12).append(char(i + 1)).append(char(count)).append(part);
    }
    jpeg.insert(2, markers);
    return jpeg;
}

// One PNG chunk: length, type, data and CRC.
inline QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian(quint32(data.size()), chunk.data());
    chunk += type + data;
    const QByteArray crcOver = type + data;
    QByteArray crc(4, '\0');
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef *>(crcOver.constData()),
                               uInt(crcOver.size()))),
                 crc.data());
    return chunk + crc;
}

// `png` with an iCCP chunk after IHDR; `compressed` replaces the zlib stream when given.
inline QByteArray withIccpChunk(QByteArray png, const QByteArray &icc,
                                const QByteArray &compressed = QByteArray())
{
    // qCompress puts the length in front of a plain zlib stream.
    const QByteArray stream = compressed.isEmpty() ? qCompress(icc).mid(4) : compressed;
    const QByteArray data = QByteArray("profile\0\0", 9) + stream;
    png.insert(8 + 8 + 13 + 4, pngChunk("iCCP", data)); // signature, IHDR
    return png;
}

// An Exif APP1 segment as a camera writes it in Adobe RGB under the DCF rules: ColorSpace
// "uncalibrated" (0xFFFF) and the interoperability index "R03", no profile.
inline QByteArray adobeRgbExifSegment()
{
    QByteArray tiff("II*\0", 4);
    const auto u16 = [&tiff](quint32 v) {
        tiff.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
    };
    const auto u32 = [&](quint32 v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    const quint32 ifd0 = 8, exifIfd = ifd0 + 2 + 12 + 4, interopIfd = exifIfd + 2 + 2 * 12 + 4;
    u32(ifd0);
    u16(1);
    u16(0x8769), u16(4), u32(1), u32(exifIfd);
    u32(0);
    u16(2);
    u16(0xA001), u16(3), u32(1), u32(0xFFFF);
    u16(0xA005), u16(4), u32(1), u32(interopIfd);
    u32(0);
    u16(1);
    u16(0x0001), u16(2), u32(4);
    tiff.append("R03\0", 4);
    u32(0);
    QByteArray segment("\xFF\xE1", 2);
    const int length = 2 + 6 + int(tiff.size());
    segment.append(char(length >> 8)).append(char(length & 0xFF));
    return segment + QByteArray("Exif\0\0", 6) + tiff;
}

} // namespace PwTest
