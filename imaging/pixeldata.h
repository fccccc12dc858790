#pragma once

#include <QByteArray>

class QIODevice;

namespace Pw {

// Whether a BMP or PNG file holds less pixel data than its header promises: a BMP shorter than
// its rows need, a PNG that ends before its end chunk. Qt's readers fill what is missing with
// black and call the picture read, so this is asked beside them. The device is read from its
// start and left at an unknown position. Other formats, and compressed BMPs, whose length the
// header does not tell, answer false.
bool PixelDataShort(QIODevice &device);

// A PNG cut short or garbled after some chunk (a length running past the end of the file, or no
// end chunk): its whole chunks up to that point and an end chunk, which Qt's reader draws as far
// as they go. Empty when the device holds no such PNG. libpng would otherwise believe the bad
// length, allocating and clearing up to 2 GB for one text chunk of a 300-byte file (found by
// fuzzing). The device is left at an unknown position.
QByteArray PngWholeChunks(QIODevice &device);

} // namespace Pw
