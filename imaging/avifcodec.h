#pragma once

#include "imaging/codecpicture.h"

// AVIF through libavif (dav1d): the primary image, or the first frame of a sequence, with the
// file's own transformations (cropping, rotation, mirroring) applied here, so the Exif orientation
// is never applied a second time; deeper samples are brought down to 8 bits. Internal to imaging/.
namespace Pw::Avif {

Codec::Info ReadInfo(const QString &file);
Codec::Picture Decode(const QString &file);

} // namespace Pw::Avif
