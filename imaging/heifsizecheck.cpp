#include "imaging/heifsizecheck.h"

#include <algorithm>
#include <climits>
#include <map>
#include <vector>

namespace Pw::Heif {

namespace {

constexpr quint32 fourcc(const char (&name)[5])
{
    return (quint32(uchar(name[0])) << 24) | (quint32(uchar(name[1])) << 16)
           | (quint32(uchar(name[2])) << 8) | quint32(uchar(name[3]));
}

constexpr int kSpsNalType = 33;

qint64 pixels(quint64 width, quint64 height)
{
    // Both sides are below 2^32, so the product fits; it only has to stay positive.
    return qint64(std::min<quint64>(width * height, quint64(INT64_MAX)));
}

// Big-endian fields of a byte range; reading past its end marks it failed instead.
class Reader
{
public:
    Reader(const uchar *data, qint64 size)
        : m_data(data)
        , m_size(size)
    {}

    quint64 take(int bytes)
    {
        if (bytes < 0 || bytes > 8 || m_size - m_pos < bytes) {
            m_failed = true;
            m_pos = m_size;
            return 0;
        }
        quint64 value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | m_data[m_pos++];
        return value;
    }
    const uchar *skip(qint64 bytes)
    {
        if (bytes < 0 || m_size - m_pos < bytes) {
            m_failed = true;
            m_pos = m_size;
            return m_data + m_size;
        }
        m_pos += bytes;
        return m_data + m_pos - bytes;
    }
    qint64 left() const { return m_size - m_pos; }
    const uchar *here() const { return m_data + m_pos; }
    bool failed() const { return m_failed; }

private:
    const uchar *m_data;
    qint64 m_size;
    qint64 m_pos = 0;
    bool m_failed = false;
};

// Bits of a NAL unit's payload, with the emulation-prevention bytes already taken out.
class BitReader
{
public:
    explicit BitReader(std::vector<uchar> bytes)
        : m_bytes(std::move(bytes))
    {}

    quint64 bits(int count)
    {
        quint64 value = 0;
        for (int i = 0; i < count; ++i) {
            if (m_pos >= qint64(m_bytes.size()) * 8) {
                m_failed = true;
                return 0;
            }
            value = (value << 1) | ((m_bytes[size_t(m_pos >> 3)] >> (7 - (m_pos & 7))) & 1);
            ++m_pos;
        }
        return value;
    }
    // Exp-Golomb; values of 32 bits and more are no size any decoder takes.
    quint64 ue()
    {
        int zeros = 0;
        while (!m_failed && bits(1) == 0) {
            if (++zeros > 31) {
                m_failed = true;
                return 0;
            }
        }
        return (quint64(1) << zeros) - 1 + bits(zeros);
    }
    bool failed() const { return m_failed; }

private:
    std::vector<uchar> m_bytes;
    qint64 m_pos = 0;
    bool m_failed = false;
};

std::vector<uchar> payloadOf(const uchar *nal, qint64 size)
{
    std::vector<uchar> payload;
    payload.reserve(size_t(size));
    int zeros = 0;
    for (qint64 i = 2; i < size; ++i) { // after the two-byte NAL header
        if (zeros >= 2 && nal[i] == 3) {
            zeros = 0;
            continue;
        }
        zeros = nal[i] == 0 ? zeros + 1 : 0;
        payload.push_back(nal[i]);
    }
    return payload;
}

// The frame size of an HEVC sequence parameter set; -1 when it does not read.
qint64 spsPixels(const uchar *nal, qint64 size)
{
    BitReader sps(payloadOf(nal, size));
    sps.bits(4); // video parameter set id
    const int subLayers = int(sps.bits(3));
    sps.bits(1);
    sps.bits(96); // general profile, tier and level
    std::vector<std::pair<bool, bool>> present(static_cast<size_t>(subLayers));
    for (auto &[profile, level] : present) {
        profile = sps.bits(1) != 0;
        level = sps.bits(1) != 0;
    }
    if (subLayers > 0)
        sps.bits(2 * (8 - subLayers));
    for (const auto &[profile, level] : present)
        sps.bits((profile ? 88 : 0) + (level ? 8 : 0));
    sps.ue();          // its own id
    if (sps.ue() == 3) // chroma format 4:4:4
        sps.bits(1);
    const quint64 width = sps.ue();
    const quint64 height = sps.ue();
    return sps.failed() ? -1 : pixels(width, height);
}

struct Extent
{
    int method = 0; // 0: in the file, 1: in the 'idat' box
    quint64 offset = 0;
    quint64 length = 0; // 0: to the end
};

struct Item
{
    quint32 type = 0;
    std::vector<Extent> extents;
};

class Scan
{
public:
    Scan(const QByteArray &file)
        : m_data(reinterpret_cast<const uchar *>(file.constData()))
        , m_size(file.size())
        , m_unreadItemBytes(file.size())
    {}

    qint64 run()
    {
        // Only the boxes up to the 'meta' box have to be whole; libheif reads no further.
        Reader file(m_data, m_size);
        forEachBox(file, [&](quint32 type, Reader &body) {
            if (type == fourcc("meta")) {
                readMeta(body);
                m_metaRead = true;
            }
        });
        m_metaRead = false;
        for (auto item = m_items.cbegin(); item != m_items.cend() && !m_broken; ++item)
            readItemData(item->second);
        return m_broken ? -1 : m_largest;
    }

private:
    template<typename Visit>
    void forEachBox(Reader &outer, Visit visit)
    {
        while (!m_broken && !m_metaRead && outer.left() > 0) {
            const qint64 start = outer.left();
            quint64 size = outer.take(4);
            const quint32 type = quint32(outer.take(4));
            if (size == 1)
                size = outer.take(8);
            else if (size == 0)
                size = quint64(start);
            const quint64 header = quint64(start - outer.left());
            if (outer.failed() || size < header || size > quint64(start)) {
                m_broken = true;
                return;
            }
            Reader body(outer.here(), qint64(size - header));
            outer.skip(qint64(size - header));
            visit(type, body);
            m_broken = m_broken || body.failed();
        }
    }

    void claim(qint64 pixels)
    {
        if (pixels < 0)
            m_broken = true;
        m_largest = std::max(m_largest, pixels);
    }

    void readMeta(Reader &meta)
    {
        meta.take(4); // version and flags
        forEachBox(meta, [&](quint32 type, Reader &body) {
            if (type == fourcc("iinf"))
                readItemTypes(body);
            else if (type == fourcc("iloc"))
                readLocations(body);
            else if (type == fourcc("idat"))
                m_idat = Reader(body.here(), body.left());
            else if (type == fourcc("iprp"))
                forEachBox(body, [&](quint32 inner, Reader &ipco) {
                    if (inner == fourcc("ipco"))
                        forEachBox(ipco, [&](quint32 property, Reader &value) {
                            readProperty(property, value);
                        });
                });
        });
    }

    void readItemTypes(Reader &iinf)
    {
        const int version = int(iinf.take(1));
        iinf.take(3);
        iinf.take(version == 0 ? 2 : 4);
        forEachBox(iinf, [&](quint32 type, Reader &infe) {
            const int infeVersion = int(infe.take(1));
            infe.take(3);
            if (type != fourcc("infe") || infeVersion < 2)
                return;
            const quint32 id = quint32(infe.take(infeVersion == 2 ? 2 : 4));
            infe.take(2); // protection index
            m_items[id].type = quint32(infe.take(4));
        });
    }

    void readLocations(Reader &iloc)
    {
        const int version = int(iloc.take(1));
        iloc.take(3);
        const int sizes = int(iloc.take(2));
        const int offsetSize = sizes >> 12, lengthSize = (sizes >> 8) & 15;
        const int baseSize = (sizes >> 4) & 15, indexSize = version > 0 ? sizes & 15 : 0;
        const quint64 count = iloc.take(version < 2 ? 2 : 4);
        for (quint64 i = 0; i < count && !iloc.failed() && !m_broken; ++i) {
            Item &item = m_items[quint32(iloc.take(version < 2 ? 2 : 4))];
            const int method = version > 0 ? int(iloc.take(2) & 15) : 0;
            iloc.take(2); // data reference
            const quint64 base = iloc.take(baseSize);
            const quint64 extents = iloc.take(2);
            // Extents of no bytes each would let a small box list millions of them.
            if (extents > 1 && indexSize + offsetSize + lengthSize == 0)
                m_broken = true;
            item.extents.clear();
            for (quint64 e = 0; e < extents && !iloc.failed(); ++e) {
                iloc.take(indexSize);
                const quint64 offset = iloc.take(offsetSize);
                item.extents.push_back({method, base + offset, iloc.take(lengthSize)});
            }
        }
        m_broken = m_broken || iloc.failed();
    }

    void readProperty(quint32 type, Reader &value)
    {
        if (type == fourcc("ispe")) {
            value.take(4);
            const quint64 width = value.take(4);
            claim(pixels(width, value.take(4)));
        } else if (type == fourcc("hvcC")) {
            value.skip(22);
            const int arrays = int(value.take(1));
            for (int a = 0; a < arrays && !value.failed(); ++a) {
                value.take(1);
                const int units = int(value.take(2));
                for (int u = 0; u < units && !value.failed(); ++u)
                    readNal(value, int(value.take(2)));
            }
        }
    }

    void readNal(Reader &from, qint64 size)
    {
        const uchar *nal = from.skip(size);
        if (!from.failed() && size >= 2 && ((nal[0] >> 1) & 63) == kSpsNalType)
            claim(spsPixels(nal, size));
    }

    // The item's bytes as its decoder gets them: the extents one after the other.
    // Extents outside their box, or items adding up to more than the file (which would make
    // this check as slow as the file's author likes), leave the file broken.
    QByteArray dataOf(const Item &item)
    {
        QByteArray data;
        for (const Extent &extent : item.extents) {
            const Reader from = extent.method == 0 ? Reader(m_data, m_size) : m_idat;
            const quint64 whole = quint64(from.left());
            if (extent.method > 1 || extent.offset > whole
                || extent.length > whole - extent.offset) {
                m_broken = true;
                return {};
            }
            const qint64 length = qint64(extent.length ? extent.length : whole - extent.offset);
            if (length > m_unreadItemBytes) {
                m_broken = true;
                return {};
            }
            m_unreadItemBytes -= length;
            data.append(reinterpret_cast<const char *>(from.here()) + extent.offset, length);
        }
        return data;
    }

    void readItemData(const Item &item)
    {
        const bool grid = item.type == fourcc("grid"), overlay = item.type == fourcc("iovl");
        if (!grid && !overlay && item.type != fourcc("hvc1"))
            return;
        const QByteArray data = dataOf(item);
        Reader reader(reinterpret_cast<const uchar *>(data.constData()), data.size());
        if (item.type == fourcc("hvc1")) {
            while (reader.left() > 0 && !reader.failed())
                readNal(reader, qint64(reader.take(4)));
        } else {
            reader.take(1); // version
            const int wide = (reader.take(1) & 1) ? 4 : 2;
            reader.take(overlay ? 8 : 2); // fill colour, or rows and columns
            const quint64 width = reader.take(wide);
            claim(pixels(width, reader.take(wide)));
        }
        m_broken = m_broken || reader.failed();
    }

    const uchar *m_data;
    qint64 m_size;
    qint64 m_unreadItemBytes;
    Reader m_idat{nullptr, 0};
    std::map<quint32, Item> m_items;
    bool m_metaRead = false;
    bool m_broken = false;
    qint64 m_largest = 0;
};

} // namespace

qint64 LargestClaimedPixels(const QByteArray &file)
{
    return Scan(file).run();
}

} // namespace Pw::Heif
