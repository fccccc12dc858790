#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>

// The libjpeg-turbo side of the picture service. Internal to imaging/.
namespace Pw::Jpeg {

struct Info
{
    int width = 0; // as stored, before orientation
    int height = 0;
    int orientation = 1;      // EXIF 1..8
    bool progressive = false; // the decoder then holds every coefficient of the picture
    int components = 3;
    bool inks = false;         // CMYK or YCCK
    bool invertedInks = false; // stored as Adobe's writers do (255 = no ink)
    QByteArray iccProfile;     // the embedded colour profile, or empty (sRGB)
};

// The EXIF orientation in an APP1 payload ("Exif\0\0" + TIFF); 1 when absent or malformed.
int ExifOrientation(const uint8_t *data, size_t size);

// What the decoder asks of whoever takes its rows.
class RowSink
{
public:
    virtual ~RowSink() = default;
    // After the header: the DCT reduction to use (1, 2, 4 or 8), or 0 to stop here.
    virtual int scaleFor(const Info &info) = 0;
    // Whether chroma is upsampled smoothly; a picture that is reduced a good deal afterwards
    // gains nothing from it and decodes faster without.
    virtual bool smoothChroma() const { return true; }
    // With a CMYK picture: rows carry the inks as stored (C, M, Y, K) rather than RGB, for a
    // colour transform through the picture's profile once it is scaled.
    virtual bool keepsInks() const { return false; }
    // The reduced size is known; choose the rows [firstRow, firstRow + rowCount) to receive.
    // Returns false to stop.
    virtual bool begin(int width, int height, int *firstRow, int *rowCount) = 0;
    // Where the decoder may write the next row (width pixels plus 16 spare bytes), or null for
    // its own buffer.
    virtual uint8_t *rowBuffer() { return nullptr; }
    // One BGRA row of the reduced picture (in rowBuffer() when it gave one); 16 readable bytes
    // follow it.
    virtual void row(const uint8_t *pixels) = 0;
};

enum class Decoded {
    Complete,   // every requested row came from the data
    Partial,    // the data broke off or went bad; the missing rows repeat the last good one
    Unreadable, // not a JPEG, or its header is broken
    Stopped,    // the sink stopped after the header
};

// True when the file starts like a JPEG (FF D8 FF).
bool LooksLikeJpeg(const QString &file);

Decoded Decode(const QString &file, RowSink &sink);

// Reads the header only (and the EXIF orientation).
bool ReadInfo(const QString &file, Info *info);

// Encodes an RGB32 image. Empty on failure.
QByteArray Encode(const QImage &rgb32, int quality, int dpi, bool optimizeHuffman);

} // namespace Pw::Jpeg
