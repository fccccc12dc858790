#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>

// Embedded colour profiles (ICC) turned into plain sRGB pixels with Little CMS 2: relative
// colorimetric intent, black-point compensation, 8 bits a channel. Results are written without a
// profile, so their pixels must already be sRGB when they are encoded.
//
// For every decoder: read the profile bytes of the file (an empty array when it has none) and,
// once the picture has its final size, call ConvertToSrgb(picture, profile). Converting after
// scaling keeps the cost with the size of the result, not of the source. A status of
// UnreadableProfile means the pixels were left as they are (read as sRGB); the picture service
// then names the file once in the report with UnreadableProfileMessage().
//
// Every function is thread-safe. Each distinct profile is parsed once and its transform kept.
namespace Pw {

enum class ColourStatus {
    Unchanged,        // no profile, or one equivalent to sRGB: nothing to do
    Converted,        // the pixels are sRGB now
    UnreadableProfile // the profile cannot be parsed or does not describe these pixels
};

// What the four bytes of each pixel hold.
enum class PixelData {
    Rgb,      // QImage's own layout: Format_RGB32, ARGB32 or ARGB32_Premultiplied (or any other
              // format, which is converted first)
    Cmyk,     // C, M, Y, K ink amounts in memory order (0 = no ink), in a Format_RGB32 image
    AdobeCmyk // the same, stored inverted (255 = no ink), as Adobe's writers do
};

// Converts `image` in place from the colour space `iccProfile` describes to sRGB. With CMYK data
// the image is Format_RGB32 afterwards in every case: without a usable CMYK profile the inks are
// turned into RGB plainly.
ColourStatus ConvertToSrgb(QImage &image, const QByteArray &iccProfile,
                           PixelData data = PixelData::Rgb);

// True when a profile parses and says the same as sRGB (colorants and tone curves within a
// rounding step), so converting would change nothing: the usual camera and phone profiles.
bool IsSrgbEquivalent(const QByteArray &iccProfile);

// True when the profile parses and describes CMYK: a CMYK JPEG is then kept as inks until it is
// converted.
bool IsCmykProfile(const QByteArray &iccProfile);

// "色彩配置文件无法读取，按 sRGB 处理"
QString UnreadableProfileMessage();

// A profile of the Adobe RGB (1998) colour space built from its published primaries, white point
// and gamma, for files that say they are Adobe RGB without carrying a profile.
QByteArray AdobeRgbProfile();

// Cameras that save Adobe RGB under the DCF rules store no profile: the Exif ColorSpace tag is
// "uncalibrated" (0xFFFF) and the interoperability index is "R03". `app1` is an APP1 payload
// ("Exif\0\0" + TIFF). Every offset is checked against the data.
bool ExifSaysAdobeRgb(const uint8_t *app1, size_t size);

} // namespace Pw
