#pragma once

// HEIC, AVIF, WebP and TIFF samples written at test time from a QImage, with the encoders this
// machine has (libheif's, libavif's, libwebp's) and a small TIFF writer of the tests' own.

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

namespace PwTest {

struct SampleSpec
{
    int orientation = 1; // how the stored pixels are turned to be seen (Exif 1..8)
    QByteArray model;    // camera information to embed (none when both are empty)
    QByteArray shot;     // time of taking, "yyyy:MM:dd hh:mm:ss"
    int bits = 8;        // TIFF: 8 or 16 bits a sample; HEIC, AVIF: 8 or 10
    bool cmyk = false;   // TIFF: stored as CMYK
    bool secondPage
            = false; // TIFF: a black second page; WebP: an animation whose second frame is black
    int rowsPerStrip = 0; // TIFF: 0 for one strip
    QRect crop; // AVIF through libavif's encoder: a clean aperture ('clap'); null for none
};

// Writes the stored pixels of `picture` (its alpha kept when it has some) as `format` ("heic",
// "avif", "webp", "tiff") into `path`. False, with the reason, when this machine cannot.
bool WriteSample(const QString &format, const QImage &picture, const SampleSpec &spec,
                 const QString &path, QString *why);

// A little-endian Exif block (TIFF structure): camera model, orientation, time of taking.
QByteArray ExifBlock(const QByteArray &model, const QByteArray &shot, int orientation);

// A JPEG of `picture` with the block as its APP1 segment (none when empty).
QByteArray JpegWithExif(const QImage &picture, const QByteArray &exifBlock);

// Four colour fields, red, green / blue, yellow, so any turn or mirror shows; with alpha the
// right half is half transparent.
QImage QuadrantPicture(int width, int height, bool alpha = false);

} // namespace PwTest
