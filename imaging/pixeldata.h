#pragma once

class QIODevice;

namespace Pw {

// Whether a BMP or PNG file holds less pixel data than its header promises: a BMP shorter than
// its rows need, a PNG that ends before its end chunk. Qt's readers fill what is missing with
// black and call the picture read, so this is asked beside them. The device is read from its
// start and left at an unknown position. Other formats, and compressed BMPs, whose length the
// header does not tell, answer false.
bool PixelDataShort(QIODevice &device);

} // namespace Pw
