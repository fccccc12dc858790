#pragma once

#include <QByteArray>

// What a HEIF file claims its decoders will make, read from the boxes without decoding: libheif
// sizes the grid and overlay canvases by their own item data and the decoded HEVC frames by the
// sequence parameter sets, not by the 'ispe' size the memory estimate is made from.
// Internal to imaging/.
namespace Pw::Heif {

// The largest picture, in pixels, that any 'ispe' property, grid or overlay canvas, or HEVC
// sequence parameter set (in an 'hvcC' property or in an HEVC item's own data) of the file
// claims; -1 when the boxes it reads are broken.
qint64 LargestClaimedPixels(const QByteArray &file);

} // namespace Pw::Heif
