#pragma once

#include <QString>

namespace Pw {

// Camera model (Exif 0x0110) and time of taking (0x9003) of a picture. Yes only when both are
// non-empty; each is then cut at its first NUL. When the file holds Exif but one is missing,
// the answer is no and both hold what was read, uncut; when it holds none (or cannot be read),
// both stay as passed in. Never throws.
bool ReadCameraStamp(const QString &file, QString &model, QString &shot);

} // namespace Pw
