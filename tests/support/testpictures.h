#pragma once

// Pictures and camera information made at run time for the tests.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QRandomGenerator>

namespace PwTest {

// Noise over soft colour fields: compresses like a busy photo, so every quality step changes the
// size noticeably. The same seed gives the same pixels.
inline QImage busyPicture(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = int(random.bounded(96));
            line[x] = qRgb((x * 255 / width + n) % 256, (y * 255 / height + n) % 256,
                           (n * 2) % 256);
        }
    }
    return image;
}

// image encoded by Qt in format ("JPG", "PNG", "BMP"), JPEGs at quality 90.
inline QByteArray encodedPicture(const QImage &image, const char *format = "JPG")
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

// A picture of one colour in format, encoded by Qt.
inline QByteArray plainPicture(QSize size, const char *format, QColor colour = Qt::darkCyan)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return encodedPicture(image, format);
}

// A JPEG of one colour, encoded by Qt.
inline QByteArray plainJpeg(int width, int height, QColor colour = Qt::darkCyan)
{
    return plainPicture(QSize(width, height), "JPG", colour);
}

// A little-endian Exif APP1 segment holding the camera model (IFD0 0x0110) and the time of
// taking (Exif sub-IFD 0x9003), as a camera writes them.
inline QByteArray exifSegment(const QByteArray &model, const QByteArray &shot)
{
    QByteArray tiff;
    const auto u16 = [&tiff](quint32 v) {
        tiff.append(char(v & 0xff));
        tiff.append(char((v >> 8) & 0xff));
    };
    const auto u32 = [&tiff](quint32 v) {
        for (int i = 0; i < 4; ++i)
            tiff.append(char((v >> (8 * i)) & 0xff));
    };
    const QByteArray modelText = model + '\0';
    const QByteArray shotText = shot + '\0';
    const quint32 ifd0 = 8;
    const quint32 exifIfd = ifd0 + 2 + 2 * 12 + 4;
    const quint32 modelAt = exifIfd + 2 + 12 + 4;
    const quint32 shotAt = modelAt + quint32(modelText.size() + modelText.size() % 2);

    tiff.append("II*\0", 4);
    u32(ifd0);
    u16(2);
    u16(0x0110), u16(2), u32(quint32(modelText.size())), u32(modelAt);
    u16(0x8769), u16(4), u32(1), u32(exifIfd);
    u32(0);
    u16(1);
    u16(0x9003), u16(2), u32(quint32(shotText.size())), u32(shotAt);
    u32(0);
    tiff += modelText;
    if (modelText.size() % 2)
        tiff.append('\0');
    tiff += shotText;

    QByteArray segment("\xFF\xE1", 2);
    const int length = 2 + 6 + int(tiff.size());
    segment.append(char(length >> 8));
    segment.append(char(length & 0xff));
    segment.append("Exif\0\0", 6);
    return segment + tiff;
}

// jpeg with segment put right after its SOI marker; empty when jpeg is not a JPEG.
inline QByteArray withSegment(const QByteArray &jpeg, const QByteArray &segment)
{
    if (!jpeg.startsWith("\xFF\xD8"))
        return {};
    return jpeg.left(2) + segment + jpeg.mid(2);
}

inline bool hasExif(const QByteArray &jpeg)
{
    return jpeg.indexOf(QByteArray("Exif\0\0", 6)) >= 0;
}

} // namespace PwTest
