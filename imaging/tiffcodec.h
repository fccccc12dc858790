#pragma once

#include "imaging/codecpicture.h"

// TIFF through libtiff: the first page, every sample layout libtiff converts to 8-bit RGBA
// (16-bit samples, palettes, CMYK, YCbCr, alpha associated or not), turned upright by the file's
// orientation. A file whose strips or tiles break off part way is drawn as far as it goes.
// Internal to imaging/.
namespace Pw::Tiff {

Codec::Info ReadInfo(const QString &file);
// Picture::exif stays empty: a TIFF file is its own Exif block (the camera information reader
// reads the file itself).
Codec::Picture Decode(const QString &file);

} // namespace Pw::Tiff
