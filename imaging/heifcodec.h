#pragma once

#include "imaging/codecpicture.h"

// HEIC/HEIF through libheif, and AVIF when libavif is not built in: the primary image, with the
// file's own transformations (rotation, mirroring, cropping) applied by libheif, so the Exif
// orientation is never applied a second time; deeper samples are brought down to 8 bits.
// Internal to imaging/.
namespace Pw::Heif {

Codec::Info ReadInfo(Codec::Kind kind, const QString &file);
Codec::Picture Decode(Codec::Kind kind, const QString &file);

} // namespace Pw::Heif
