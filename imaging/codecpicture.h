#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// What the decoders of the formats beside JPEG, PNG and BMP (HEIC/HEIF, AVIF, WebP, TIFF) hand
// the picture service. Internal to imaging/.
namespace Pw::Codec {

// HEIC and AVIF are both HEIF files (ISO base media boxes): AVIF goes through libavif when it is
// built in, else through libheif as HEIC does.
enum class Kind { None, Heic, Avif, Webp, Tiff };

enum class Status {
    Ok,
    Incomplete,  // the data broke off or went bad part way: drawn as far as it goes
    Damaged,     // nothing could be drawn
    Unsupported, // a variant this build cannot decode (a codec not built in, float samples...)
};

// The header: the upright size and whether the picture has an alpha channel.
struct Info
{
    Status status = Status::Damaged;
    int width = 0; // upright
    int height = 0;
    bool hasAlpha = false;
    QString error; // the reason, in the interface language, when status is not Ok
};

struct Picture
{
    Status status = Status::Damaged;
    QImage image;        // upright, 8 bits a channel: RGB32, or ARGB32_Premultiplied with alpha
    int sourceWidth = 0; // upright size of the file (image may be smaller: scaled decoding)
    int sourceHeight = 0;
    QByteArray iccProfile; // the embedded colour profile, empty when there is none
    QByteArray exif;       // the raw Exif block (TIFF structure, no "Exif\0\0"), or empty
    QString error;         // the reason, in the interface language, when status is not Ok
};

// The format by the first bytes of a file (kSniffBytes are enough); None for anything else.
constexpr int kSniffBytes = 64;
Kind SniffKind(const QByteArray &head);
// The short name shown in messages: "HEIC", "AVIF", "WebP", "TIFF".
QString KindName(Kind kind);

// Whether this build holds a decoder for the kind.
bool IsBuiltIn(Kind kind);

// The header only, without decoding pixels.
Info ReadInfo(Kind kind, const QString &file);
// The whole picture upright. `scaledHint`, when valid, is a smaller upright size the caller
// can use: a decoder that can scale while decoding may return a picture of that size.
Picture Decode(Kind kind, const QString &file, QSize scaledHint = QSize());

// ---- Shared by the decoders ----

// The reasons, in the interface language.
QString DamagedText(Kind kind);
QString UnsupportedText(Kind kind);
QString IncompleteText();

// The whole file through the non-blocking door; empty when it cannot be read or is larger
// than maxBytes.
QByteArray ReadWholeFile(const QString &file, qint64 maxBytes);

// A picture as stored turned upright by its Exif orientation (1..8).
QImage Upright(const QImage &stored, int orientation);

// The Exif orientation in a raw Exif block (TIFF structure, "Exif\0\0" allowed before it);
// 1 when absent or malformed.
int OrientationOfExif(const QByteArray &exif);

} // namespace Pw::Codec
