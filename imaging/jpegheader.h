#pragma once

#include <QByteArrayView>
#include <QSize>

namespace Pw {

// The frame size a JPEG's header states (its first SOF marker), from its bytes alone: an
// invalid size when the bytes do not start as a JPEG or end before a frame header. Nothing is
// decoded, so it also tells a file a tool has rewritten from one it has spoilt.
QSize JpegFrameSize(QByteArrayView bytes);

} // namespace Pw
