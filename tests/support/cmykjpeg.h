#pragma once

// A 4-component (CMYK) JPEG written through libjpeg's own API, as print workflows make them.

#include <QByteArray>

#include <array>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace PwTest {

using Inks = std::array<uint8_t, 4>; // cyan, magenta, yellow, black; 255 = full ink

// A width x height picture whose column x holds the inks inkAt(x). With `adobe` the inks are
// stored inverted, as Adobe's writers do, and marked with the Adobe APP14 marker.
inline QByteArray cmykJpeg(int width, int height, bool adobe, int quality,
                           const std::function<Inks(int)> &inkAt)
{
    struct ErrorJump
    {
        jpeg_error_mgr pub;
        std::jmp_buf jump;
    };
    jpeg_compress_struct cinfo;
    ErrorJump errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<ErrorJump *>(c->err)->jump, 1);
    };
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return {};
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, JCS_CMYK);
    cinfo.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(size_t(width) * 4);
    for (int x = 0; x < width; ++x) {
        const Inks inks = inkAt(x);
        for (size_t c = 0; c < 4; ++c)
            row[size_t(x) * 4 + c] = adobe ? uint8_t(255 - inks[c]) : inks[c];
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

} // namespace PwTest
