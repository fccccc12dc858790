#pragma once

#include "imaging/codecpicture.h"

// WebP through libwebp: still pictures decoded incrementally (a file that breaks off is drawn
// as far as it goes) and, when the caller asks for a smaller size, scaled while decoding, which
// costs far less than decoding the whole picture; animations give their first frame. The
// Exif orientation is applied. Internal to imaging/.
namespace Pw::Webp {

Codec::Info ReadInfo(const QString &file);
Codec::Picture Decode(const QString &file, QSize scaledHint);

} // namespace Pw::Webp
