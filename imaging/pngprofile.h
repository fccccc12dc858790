#pragma once

#include <QByteArray>
#include <QString>

// The colour profile of a PNG file: its iCCP chunk, inflated. Internal to imaging/.
namespace Pw::Png {

// The profile bytes, or empty when the file holds no iCCP chunk before its pixel data. A chunk
// that is there but cannot be inflated gives bytes no parser accepts, so it is reported as an
// unreadable profile rather than passed over.
QByteArray ReadColourProfile(const QString &file);

} // namespace Pw::Png
