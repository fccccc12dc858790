#include "exif/exifreader.h"

#include "exif/exifblock.h"

#include "platform/nativefile.h"
#include "platform/textcodec.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <new>

namespace Pw {

namespace {

constexpr int kExifPointerTag = 0x8769;

// Bytes per element for the fits-in-the-entry test; 0 for type codes the reader does not know.
qint64 elementSize(int type)
{
    switch (type) {
    case 1: // BYTE
    case 6: // SBYTE
    case 2: // ASCII
    case 7: // UNDEFINED
        return 1;
    case 3: // SHORT
    case 8: // SSHORT
        return 2;
    case 4: // LONG
    case 9: // SLONG
        return 4;
    case 5:  // RATIONAL
    case 10: // SRATIONAL
        return 8;
    default:
        return 0;
    }
}

bool isRational(int type)
{
    return type == 5 || type == 10;
}

bool fits(int type, quint32 count)
{
    // 64-bit product: 0x40000000 SHORTs or 0x80000000 LONGs must not wrap into "fits".
    return !isRational(type) && quint64(count) * quint64(elementSize(type)) <= 4;
}

// Number of data bytes the rendering of a value that does not fit reads.
qint64 dataLength(int type, quint32 count)
{
    if (isRational(type))
        return 8;
    if (type == 2 || type == 7)
        return qint64(count) - 1; // the final NUL is dropped unread
    return qint64(count);         // arrays render their first `count` bytes
}

} // namespace

ExifValue ExifValue::fromInteger(qint64 value)
{
    ExifValue result;
    result.m_kind = Kind::Integer;
    result.m_integer = value;
    return result;
}

ExifValue ExifValue::fromBytes(const QByteArray &bytes)
{
    ExifValue result;
    result.m_kind = Kind::Text;
    result.m_bytes = bytes;
    return result;
}

QString ExifValue::decodeText(const QByteArray &bytes)
{
    bool ascii = true;
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return FromGb18030(bytes);
}

QString ExifValue::toText() const
{
    switch (m_kind) {
    case Kind::Integer:
        return QString::number(m_integer);
    case Kind::Text:
        return decodeText(m_bytes);
    case Kind::Empty:
        break;
    }
    return QString();
}

QString ExifValue::toTextBeforeNul() const
{
    if (m_kind != Kind::Text)
        return toText();
    const qsizetype nul = m_bytes.indexOf('\0');
    return decodeText(nul < 0 ? m_bytes : m_bytes.left(nul));
}

bool ExifReader::has(qint64 pos, qint64 length) const
{
    return pos >= 0 && length >= 0 && pos <= m_bytes.size() && length <= m_bytes.size() - pos;
}

quint16 ExifReader::read16(qint64 pos) const
{
    const auto *b = reinterpret_cast<const uchar *>(m_bytes.constData()) + pos;
    return m_intel ? quint16(b[0] | (b[1] << 8)) : quint16((b[0] << 8) | b[1]);
}

quint32 ExifReader::read32(qint64 pos) const
{
    const auto *b = reinterpret_cast<const uchar *>(m_bytes.constData()) + pos;
    if (m_intel)
        return quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24);
    return (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]);
}

bool ExifReader::Load(const QString &path)
{
    if (m_picFile.isEmpty())
        m_picFile = path;
    if (m_picFile.isEmpty())
        return false;
    try {
        // Only regular files, opened without blocking: a FIFO would block and a device would
        // never end.
        QFile file;
        if (!OpenRegularFile(file, m_picFile)) {
            m_loaded = false;
            return false;
        }
        const qint64 size = file.size();
        if (size > kMaxFileSize) {
            m_loaded = false;
            return false;
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            m_loaded = false;
            return false;
        }
        return LoadBytes(bytes);
    } catch (const std::bad_alloc &) {
        m_loaded = false;
        return false;
    }
}

void ExifReader::reset(const QByteArray &bytes)
{
    // A second load starts from a clean table: entry positions refer to these bytes only.
    m_bytes = bytes;
    m_entries.clear();
    m_firstByTag.clear();
    m_segmentPos = 0;
    m_tiffStart = 0;
    m_exifIfdOffset = 0;
    m_intel = false;
    m_loaded = false;
    m_followChain = true;
}

bool ExifReader::LoadBytes(const QByteArray &fileBytes)
{
    try {
        const auto *data = reinterpret_cast<const unsigned char *>(fileBytes.constData());
        const size_t size = size_t(fileBytes.size());
        if (LooksLikeTiff(data, size)) {
            // A TIFF file is its own block; its next-IFD chain holds pages, not camera data.
            reset(fileBytes);
            m_followChain = false;
            return walkTiff();
        }
        if (fileBytes.size() >= 2 && uchar(fileBytes.at(0)) == 0xFF
            && uchar(fileBytes.at(1)) == 0xD8) {
            reset(fileBytes);
            return findExifSegment() && walkTiff();
        }
        // HEIC/HEIF, AVIF, WebP: the Exif block the container holds.
        const std::string block = ExifBlockOfFile(data, size);
        return LoadTiffBlock(QByteArray(block.data(), qsizetype(block.size())));
    } catch (const std::bad_alloc &) {
        m_loaded = false;
        return false;
    }
}

bool ExifReader::LoadTiffBlock(const QByteArray &block)
{
    try {
        reset(block);
        return walkTiff();
    } catch (const std::bad_alloc &) {
        m_loaded = false;
        return false;
    }
}

bool ExifReader::walkTiff()
{
    const qint64 tiffStart = TiffStart();
    if (!has(tiffStart, 8))
        return false;
    m_intel = uchar(m_bytes.at(tiffStart)) == 0x49;
    const quint32 ifd0Offset = read32(tiffStart + 4);
    m_loaded = true;
    return walkIfds(ifd0Offset);
}

bool ExifReader::findExifSegment()
{
    if (m_bytes.size() < 2 || uchar(m_bytes.at(0)) != 0xFF || uchar(m_bytes.at(1)) != 0xD8)
        return false;
    // The first FF E1 pair anywhere, without walking the marker chain: an XMP APP1 ahead of
    // the Exif one is taken and then fails the identifier test below.
    const qsizetype pair = m_bytes.indexOf(QByteArrayView("\xFF\xE1", 2), 2);
    if (pair >= 0)
        m_segmentPos = pair;
    m_tiffStart = m_segmentPos + 10;
    return has(m_segmentPos + 4, 4) && m_bytes.mid(m_segmentPos + 4, 4) == "Exif";
}

bool ExifReader::walkIfds(qint64 ifd0Offset)
{
    const qint64 tiffStart = TiffStart();
    QSet<qint64> visited;
    int ifdsRead = 0;
    bool exifIfdDone = false;
    qint64 offset = ifd0Offset;
    while (offset != 0) {
        // A link back to an IFD already read would never end; treat it as damage.
        if (visited.contains(offset) || ++ifdsRead > kMaxIfds)
            return false;
        visited.insert(offset);

        const qint64 p = tiffStart + offset;
        if (!has(p, 2))
            return false;
        const qint64 count = read16(p);
        for (qint64 j = 0; j < count; ++j) {
            const qint64 e = p + 2 + 12 * j;
            if (!has(e, 12))
                return false;
            const int type = read16(e + 2);
            const quint32 valueCount = read32(e + 4);
            if (elementSize(type) != 0 && !fits(type, valueCount)) {
                const qint64 data = tiffStart + read32(e + 8);
                if (!has(data, dataLength(type, valueCount)))
                    return false;
            }
            m_entries.append(e);
            const int tag = read16(e);
            if (!m_firstByTag.contains(tag))
                m_firstByTag.insert(tag, m_entries.size() - 1);
            if (tag == kExifPointerTag && !readExifPointer(e))
                return false;
        }

        qint64 next = 0;
        if (!exifIfdDone && m_followChain) {
            const qint64 link = p + 2 + 12 * count;
            if (!has(link, 4))
                return false;
            next = read32(link);
        }
        if (next == 0 && !exifIfdDone) {
            next = m_exifIfdOffset;
            exifIfdDone = true;
        }
        offset = next;
    }
    return true;
}

bool ExifReader::readExifPointer(qint64 e)
{
    const int type = read16(e + 2);
    const quint32 count = read32(e + 4);
    // A pointer stored as text counts only when it reads as a whole number; a long value
    // cannot, and is not rendered just to find that out.
    if (elementSize(type) != 0 && !fits(type, count) && dataLength(type, count) > 32)
        return false;
    bool ok = false;
    const ExifValue value = render(e, &ok);
    if (!ok)
        return false;
    if (value.isInteger() || value.isEmpty()) {
        m_exifIfdOffset = value.toInteger();
        return true;
    }
    QByteArray text = value.bytes();
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    bool number = false;
    m_exifIfdOffset = text.toLongLong(&number);
    return number;
}

ExifValue ExifReader::render(qint64 e, bool *ok) const
{
    *ok = false;
    if (!has(e, 12))
        return ExifValue();
    const qint64 tiffStart = TiffStart();
    const int type = read16(e + 2);
    const quint32 count = read32(e + 4);
    const qint64 field = e + 8;
    const auto *bytes = reinterpret_cast<const uchar *>(m_bytes.constData());
    if (elementSize(type) == 0) {
        *ok = true;
        return ExifValue();
    }

    if (fits(type, count)) {
        *ok = true;
        switch (type) {
        case 1:
        case 6:
            return ExifValue::fromBytes(
                    QByteArray::number(read32(field), 16).toUpper().rightJustified(8, '0'));
        case 2:
        case 7:
            return ExifValue::fromBytes(m_bytes.mid(field, 4));
        case 3:
        case 8:
            return ExifValue::fromInteger(qint64(read16(field)) + read16(field + 2));
        case 4:
            return ExifValue::fromInteger(read32(field));
        case 9:
            return ExifValue::fromInteger(qint32(read32(field)));
        default:
            break;
        }
        *ok = false;
        return ExifValue();
    }

    const qint64 data = tiffStart + read32(field);
    const qint64 length = dataLength(type, count);
    if (!has(data, length))
        return ExifValue();
    *ok = true;
    switch (type) {
    case 2:
    case 7:
        return ExifValue::fromBytes(m_bytes.mid(data, length));
    case 5:
        return ExifValue::fromBytes(QByteArray::number(read32(data)) + '/'
                                    + QByteArray::number(read32(data + 4)));
    case 10:
        return ExifValue::fromBytes(QByteArray::number(qint32(read32(data))) + '/'
                                    + QByteArray::number(qint32(read32(data + 4))));
    default:
        break;
    }
    // BYTE, SHORT and LONG arrays: the decimal texts of the first `count` data bytes, joined;
    // a big-endian SHORT array is read from its last byte back.
    QByteArray text;
    text.reserve(length * 3);
    const bool backwards = (type == 3 || type == 8) && !m_intel;
    for (qint64 k = 0; k < length; ++k)
        text += QByteArray::number(bytes[data + (backwards ? length - 1 - k : k)]);
    return ExifValue::fromBytes(text);
}

ExifEntry ExifReader::Entry(qsizetype index) const
{
    ExifEntry entry;
    if (index < 0 || index >= m_entries.size())
        return entry;
    const qint64 e = m_entries.at(index);
    entry.TagId = read16(e);
    entry.ValueType = read16(e + 2);
    entry.ValueCount = read32(e + 4);
    if (elementSize(entry.ValueType) != 0 && !fits(entry.ValueType, entry.ValueCount))
        entry.ValueOffset = read32(e + 8);
    bool ok = false;
    entry.Value = render(e, &ok);
    return entry;
}

ExifValue ExifReader::Tag(int n)
{
    if (!m_loaded) {
        if (m_picFile.isEmpty())
            return ExifValue();
        Load(m_picFile);
    }
    if (n == 0)
        return m_entries.isEmpty() ? ExifValue() : ExifValue::fromInteger(m_entries.size());
    if (m_entries.isEmpty()) {
        m_loaded = false;
        return ExifValue();
    }
    const auto found = m_firstByTag.constFind(n);
    if (found == m_firstByTag.constEnd())
        return ExifValue();
    bool ok = false;
    return render(m_entries.at(*found), &ok);
}

} // namespace Pw
