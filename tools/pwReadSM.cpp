// pwReadSM -te SOURCE OUTPUT: copies the camera information (Exif) of SOURCE into the JPEG file
// OUTPUT in place. Of a JPEG source only the segments before the image data are read. The result
// is drawn upright, at its own size and in sRGB, so the orientation is set to 1, the pixel
// dimensions to OUTPUT's and the colour space to sRGB, and the source's thumbnail is dropped.
// OUTPUT is replaced through a temporary file and a rename, and left untouched on any failure or
// when SOURCE holds no Exif. Paths are used as the raw bytes the caller passed: no shell, no
// re-encoding.

#include "exif/exifblock.h"

#include <exiv2/exiv2.hpp>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

using Bytes = std::vector<Exiv2::byte>;

struct Failure
{
    std::string reason;
};

int fail(const std::string &reason)
{
    std::fprintf(stderr, "pwReadSM: %s\n", reason.c_str());
    return kFailed;
}

// Opens path for reading without blocking (a FIFO never hangs the tool) and only when it is a
// regular file; -1 with error set otherwise.
int openRegular(const std::string &path, std::string &error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? "is a folder" : "not a regular file";
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads up to `wanted` bytes at the current position; fewer only at the end of the file.
bool readSome(int fd, Exiv2::byte *into, size_t wanted, size_t &got, std::string &error)
{
    got = 0;
    while (got < wanted) {
        const ssize_t n = ::read(fd, into + got, wanted - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (n == 0)
            break;
        got += size_t(n);
    }
    return true;
}

bool readWhole(int fd, Bytes &bytes, size_t limit, std::string &error)
{
    bytes.clear();
    Exiv2::byte buffer[65536];
    for (;;) {
        size_t got = 0;
        if (!readSome(fd, buffer, sizeof buffer, got, error))
            return false;
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (bytes.size() > limit) {
            error = "too large";
            return false;
        }
        if (got < sizeof buffer)
            return true;
    }
}

// The camera information of a JPEG sits in the segments before its image data, so only those
// are read: marker by marker up to the first scan, at most kHeaderLimit bytes, whatever the
// file's length (a photo followed by gigabytes costs no more than the photo). What follows the
// scan marker is never looked at; exiv2 stops there.
constexpr size_t kHeaderLimit = size_t(32) << 20;

bool readJpegHeaders(int fd, Bytes &bytes, std::string &error)
{
    bytes.assign(2, 0);
    size_t got = 0;
    if (!readSome(fd, bytes.data(), 2, got, error))
        return false;
    bytes.resize(got);
    if (got < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return true; // not a JPEG after all: exiv2 says what it is
    for (;;) {
        Exiv2::byte marker[4];
        if (!readSome(fd, marker, 2, got, error))
            return false;
        if (got < 2 || marker[0] != 0xFF)
            break;
        bytes.insert(bytes.end(), marker, marker + 2);
        if (marker[1] == 0xD9 || marker[1] == 0xFF)
            break;
        if ((marker[1] >= 0xD0 && marker[1] <= 0xD7) || marker[1] == 0x01)
            continue; // markers without a length
        if (!readSome(fd, marker + 2, 2, got, error))
            return false;
        if (got < 2)
            break;
        bytes.insert(bytes.end(), marker + 2, marker + 4);
        if (marker[1] == 0xDA)
            break; // the image data starts here
        const size_t length = (size_t(marker[2]) << 8) | marker[3];
        if (length < 2 || bytes.size() + length > kHeaderLimit)
            break;
        const size_t at = bytes.size();
        bytes.resize(at + length - 2);
        if (!readSome(fd, bytes.data() + at, length - 2, got, error))
            return false;
        bytes.resize(at + got);
        if (got < length - 2)
            break;
    }
    // exiv2 walks to the scan marker or the end marker; an end marker keeps it from reading
    // past a header that broke off.
    if (bytes.size() < 2 || bytes[bytes.size() - 2] != 0xFF || bytes[bytes.size() - 1] != 0xDA) {
        bytes.push_back(0xFF);
        bytes.push_back(0xD9);
    }
    return true;
}

// A source of another type (PNG, BMP) is read whole, up to this size: its camera information
// may sit anywhere in the file.
constexpr size_t kOtherSourceLimit = size_t(256) << 20;

bool readSource(const std::string &path, Bytes &bytes, std::string &error)
{
    const int fd = openRegular(path, error);
    if (fd < 0)
        return false;
    Exiv2::byte start[2] = {0, 0};
    size_t got = 0;
    bool ok = readSome(fd, start, 2, got, error) && ::lseek(fd, 0, SEEK_SET) == 0;
    if (ok) {
        ok = got == 2 && start[0] == 0xFF && start[1] == 0xD8
                     ? readJpegHeaders(fd, bytes, error)
                     : readWhole(fd, bytes, kOtherSourceLimit, error);
    }
    ::close(fd);
    return ok;
}

// The output is the run's own small JPEG.
bool readOutput(const std::string &path, Bytes &bytes, std::string &error)
{
    const int fd = openRegular(path, error);
    if (fd < 0)
        return false;
    const bool ok = readWhole(fd, bytes, kOtherSourceLimit, error);
    ::close(fd);
    return ok;
}

bool isJpeg(const Bytes &bytes)
{
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

void setDimension(Exiv2::ExifData &exif, const char *key, int value, bool onlyIfPresent)
{
    const Exiv2::ExifKey exifKey(key);
    if (onlyIfPresent && exif.findKey(exifKey) == exif.end())
        return;
    if (value >= 0 && value <= 0xFFFF)
        exif[key] = static_cast<uint16_t>(value);
    else
        exif[key] = static_cast<uint32_t>(value);
}

// HEIC/HEIF, AVIF, WebP and TIFF sources: the Exif block the file holds (this exiv2 finds none
// in a HEIF file), less the tags that describe the source's own pixel storage or colour profile.
Exiv2::ExifData exifOfOtherFormat(const Bytes &source)
{
    Exiv2::ExifData exif;
    const std::string block = Pw::ExifBlockOfFile(source.data(), source.size());
    if (block.empty() || block.size() > UINT32_MAX)
        return exif;
    Exiv2::ExifParser::decode(exif, reinterpret_cast<const Exiv2::byte *>(block.data()),
                              uint32_t(block.size()));
    for (const char *key : {"Exif.Image.NewSubfileType",   "Exif.Image.BitsPerSample",
                            "Exif.Image.Compression",      "Exif.Image.PhotometricInterpretation",
                            "Exif.Image.FillOrder",        "Exif.Image.StripOffsets",
                            "Exif.Image.SamplesPerPixel",  "Exif.Image.RowsPerStrip",
                            "Exif.Image.StripByteCounts",  "Exif.Image.PlanarConfiguration",
                            "Exif.Image.Predictor",        "Exif.Image.ColorMap",
                            "Exif.Image.TileWidth",        "Exif.Image.TileLength",
                            "Exif.Image.TileOffsets",      "Exif.Image.TileByteCounts",
                            "Exif.Image.SubIFDs",          "Exif.Image.ExtraSamples",
                            "Exif.Image.SampleFormat",     "Exif.Image.JPEGTables",
                            "Exif.Image.InterColorProfile"}) {
        const auto found = exif.findKey(Exiv2::ExifKey(key));
        if (found != exif.end())
            exif.erase(found);
    }
    return exif;
}

// All exiv2 work happens here; its exceptions are turned into a reason and never go further.
// Answers the new file content, or an empty vector when SOURCE holds no Exif.
Bytes withCameraInfo(const Bytes &source, const Bytes &output)
{
    Exiv2::ExifData exif;
    try {
        if (!Pw::IsExifContainer(source.data(), source.size())) {
            auto sourceImage = Exiv2::ImageFactory::open(source.data(), long(source.size()));
            sourceImage->readMetadata();
            exif = sourceImage->exifData();
        } else {
            exif = exifOfOtherFormat(source);
        }
    } catch (const std::exception &error) {
        throw Failure{std::string("cannot read the camera information of the source: ")
                      + error.what()};
    }
    if (exif.empty())
        return Bytes();

    try {
        auto outputImage = Exiv2::ImageFactory::open(output.data(), long(output.size()));
        outputImage->readMetadata();
        const int width = outputImage->pixelWidth();
        const int height = outputImage->pixelHeight();
        if (width <= 0 || height <= 0)
            throw Failure{"cannot find the picture size of the output"};

        Exiv2::ExifThumb(exif).erase();
        exif["Exif.Image.Orientation"] = static_cast<uint16_t>(1);
        setDimension(exif, "Exif.Photo.PixelXDimension", width, false);
        setDimension(exif, "Exif.Photo.PixelYDimension", height, false);
        setDimension(exif, "Exif.Image.ImageWidth", width, true);
        setDimension(exif, "Exif.Image.ImageLength", height, true);
        // The picture service writes sRGB pixels whatever the source held: a viewer that reads
        // the Exif colour space (or a DCF "R03" Adobe RGB index) must not re-interpret them.
        exif["Exif.Photo.ColorSpace"] = static_cast<uint16_t>(1);
        const auto index = exif.findKey(Exiv2::ExifKey("Exif.Iop.InteroperabilityIndex"));
        if (index != exif.end() && index->toString().rfind("R03", 0) == 0)
            exif.erase(index);

        outputImage->setExifData(exif);
        outputImage->writeMetadata();

        Exiv2::BasicIo &io = outputImage->io();
        if (io.open() != 0)
            throw Failure{"cannot read back the new output"};
        const long size = io.size();
        Bytes result(static_cast<size_t>(size > 0 ? size : 0));
        io.seek(0, Exiv2::BasicIo::beg);
        const long got = result.empty() ? 0 : io.read(result.data(), size);
        io.close();
        if (got != size || !isJpeg(result))
            throw Failure{"cannot read back the new output"};
        return result;
    } catch (const Failure &) {
        throw;
    } catch (const std::exception &error) {
        throw Failure{std::string("cannot write the camera information: ") + error.what()};
    }
}

bool writeAll(int fd, const Bytes &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += size_t(put);
    }
    return true;
}

// Replaces path by bytes with a temporary file in the same folder and a rename, keeping the
// file's permission bits, so that a crash or a full disk never leaves a half-written picture.
bool replaceFile(const std::string &path, const Bytes &bytes, std::string &error)
{
    struct stat original = {};
    if (::stat(path.c_str(), &original) != 0) {
        error = std::strerror(errno);
        return false;
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : path.substr(0, slash);
    std::string pattern = folder + "/.pwReadSM-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, original.st_mode & 07777) == 0
              && ::fsync(fd) == 0;
    if (!ok)
        error = std::strerror(errno);
    if (::close(fd) != 0 && ok) {
        error = std::strerror(errno);
        ok = false;
    }
    if (ok && ::rename(name.data(), path.c_str()) != 0) {
        error = std::strerror(errno);
        ok = false;
    }
    if (!ok)
        ::unlink(name.data());
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4 || std::strcmp(argv[1], "-te") != 0) {
        std::fputs("usage: pwReadSM -te SOURCE OUTPUT\n", stderr);
        return kUsage;
    }
    const std::string sourcePath = argv[2];
    const std::string outputPath = argv[3];
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);

    std::string error;
    Bytes source;
    if (!readSource(sourcePath, source, error))
        return fail("cannot read " + sourcePath + ": " + error);
    Bytes output;
    if (!readOutput(outputPath, output, error))
        return fail("cannot read " + outputPath + ": " + error);
    if (!isJpeg(output))
        return fail("not a JPEG file: " + outputPath);
    if (source.empty())
        return fail("empty file: " + sourcePath);

    Bytes result;
    try {
        result = withCameraInfo(source, output);
    } catch (const Failure &failure) {
        return fail(failure.reason + " (" + sourcePath + " -> " + outputPath + ")");
    } catch (const std::exception &failure) {
        return fail(std::string(failure.what()) + " (" + sourcePath + ")");
    }
    if (result.empty())
        return kOk; // nothing to copy: OUTPUT stays as it was
    if (!replaceFile(outputPath, result, error))
        return fail("cannot write " + outputPath + ": " + error);
    return kOk;
}
