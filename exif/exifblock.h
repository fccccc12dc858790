#pragma once

#include <cstddef>
#include <string>

// The camera information of pictures that are not JPEGs, for the Exif reader and for pwReadSM
// (which uses no Qt, hence the plain types).
namespace Pw {

// The raw Exif block (TIFF structure: byte order, 42, IFD0, ...) of a HEIC/HEIF/AVIF, WebP or
// TIFF file given as its bytes: the HEIF Exif item (through libheif, when built in), the WebP
// EXIF chunk, or for a TIFF the file itself. Empty for a JPEG (whose APP1 segment the reader
// finds itself), for other files and when the file holds none. Never throws.
std::string ExifBlockOfFile(const unsigned char *data, size_t size);

// Whether bytes start like a file ExifBlockOfFile reads: an ISO base media file (HEIF, AVIF),
// a WebP or a TIFF file.
bool IsExifContainer(const unsigned char *data, size_t size);

// Whether bytes start like a TIFF file ("II*\0" or "MM\0*").
bool LooksLikeTiff(const unsigned char *data, size_t size);

} // namespace Pw
