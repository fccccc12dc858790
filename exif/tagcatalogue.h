#pragma once

#include <QString>

namespace Pw {

class ExifReader;

// The line shown when a picture holds no readable camera information.
QString NoCameraInfoMessage();

// header, then one CR LF-separated line per catalogue entry present in the picture (111 at
// most, fixed order), or the header and the message line when the picture does not load.
// No line break at the end.
QString BuildCameraInfoText(const QString &header, const QString &picturePath);

// The same for a reader that has already been loaded; loaded is what Load answered.
QString CameraInfoText(const QString &header, ExifReader &reader, bool loaded);

} // namespace Pw
