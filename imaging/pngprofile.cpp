#include "imaging/pngprofile.h"

#include "platform/nativefile.h"

#include <QFile>

#include <cstring>

#include <zlib.h>

namespace Pw::Png {

namespace {

constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
// Far beyond any real profile (they run to a few hundred kilobytes); a chunk that inflates past
// it is a zip bomb, not a profile.
constexpr qsizetype kMaxProfileBytes = 16 << 20;

uint32_t bigEndian(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const uint8_t *>(bytes.constData());
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

QByteArray inflateProfile(const QByteArray &compressed)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return {};
    QByteArray out;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData()));
    stream.avail_in = uInt(compressed.size());
    int status = Z_OK;
    while (status == Z_OK && out.size() < kMaxProfileBytes) {
        const qsizetype done = out.size();
        out.resize(done + 65536);
        stream.next_out = reinterpret_cast<Bytef *>(out.data() + done);
        stream.avail_out = 65536;
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(done + 65536 - qsizetype(stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

} // namespace

QByteArray ReadColourProfile(const QString &file)
{
    QFile f;
    if (!OpenRegularFile(f, file) || f.read(8) != QByteArray(kSignature, 8))
        return {};
    for (;;) {
        const QByteArray head = f.read(8);
        if (head.size() != 8)
            return {};
        const uint32_t length = bigEndian(head);
        const QByteArray type = head.mid(4);
        // The profile must come before the pixels.
        if (type == "IDAT" || type == "IEND" || length > 0x7FFFFFFFu)
            return {};
        if (type != "iCCP") {
            if (!f.seek(f.pos() + qint64(length) + 4)) // the data and its CRC
                return {};
            continue;
        }
        const QByteArray data = f.read(qint64(length));
        if (data.size() != qsizetype(length))
            return QByteArrayLiteral("iCCP");
        // A name of 1 to 79 bytes, a NUL, the method (0: zlib), the compressed profile.
        const qsizetype nul = data.indexOf('\0');
        if (nul < 1 || nul > 79 || nul + 2 > data.size() || data[nul + 1] != 0)
            return QByteArrayLiteral("iCCP");
        const QByteArray profile = inflateProfile(data.mid(nul + 2));
        return profile.isEmpty() ? QByteArrayLiteral("iCCP") : profile;
    }
}

} // namespace Pw::Png
