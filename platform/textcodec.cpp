#include "platform/textcodec.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace Pw {

namespace {

// One conversion descriptor per direction and thread: iconv_t keeps state, and opening one
// costs far more than a short conversion.
class Converter
{
public:
    Converter(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {}
    ~Converter()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

Converter &decoder()
{
    thread_local Converter converter("UTF-16LE", "GB18030");
    return converter;
}

Converter &encoder()
{
    thread_local Converter converter("GB18030", "UTF-16LE");
    return converter;
}

bool inRange(unsigned char byte, unsigned char low, unsigned char high)
{
    return byte >= low && byte <= high;
}

} // namespace

qsizetype Gb18030CharLength(QByteArrayView bytes, qsizetype pos)
{
    const qsizetype left = bytes.size() - pos;
    if (left <= 0)
        return 0;
    const auto at = [&](qsizetype i) {
        return static_cast<unsigned char>(bytes[pos + i]);
    };
    if (at(0) < 0x80 || !inRange(at(0), 0x81, 0xFE) || left < 2)
        return 1;
    if (inRange(at(1), 0x40, 0x7E) || inRange(at(1), 0x80, 0xFE))
        return 2;
    if (inRange(at(1), 0x30, 0x39) && left >= 4 && inRange(at(2), 0x81, 0xFE)
        && inRange(at(3), 0x30, 0x39))
        return 4;
    return 1;
}

qsizetype Gb18030PrefixLength(QByteArrayView bytes, qsizetype maxBytes)
{
    if (maxBytes >= bytes.size())
        return bytes.size();
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype next = pos + Gb18030CharLength(bytes, pos);
        if (next > maxBytes)
            break;
        pos = next;
    }
    return pos;
}

qsizetype Utf8CharLength(QByteArrayView bytes, qsizetype pos)
{
    const qsizetype left = bytes.size() - pos;
    if (left <= 0)
        return 0;
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    qsizetype length = 1;
    if (inRange(lead, 0xC2, 0xDF))
        length = 2;
    else if (inRange(lead, 0xE0, 0xEF))
        length = 3;
    else if (inRange(lead, 0xF0, 0xF4))
        length = 4;
    if (length > left)
        return 1;
    for (qsizetype i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(bytes[pos + i]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

qsizetype Utf8PrefixLength(QByteArrayView bytes, qsizetype maxBytes)
{
    if (maxBytes >= bytes.size())
        return bytes.size();
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype next = pos + Utf8CharLength(bytes, pos);
        if (next > maxBytes)
            break;
        pos = next;
    }
    return pos;
}

bool IsValidUtf8(QByteArrayView bytes)
{
    // Strict: no overlong forms, no surrogates, nothing above U+10FFFF.
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[pos]);
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        const qsizetype length = Utf8CharLength(bytes, pos);
        if (length == 1)
            return false;
        const auto second = static_cast<unsigned char>(bytes[pos + 1]);
        if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F)
            || (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
            return false;
        pos += length;
    }
    return true;
}

QString FromGb18030(QByteArrayView bytes)
{
    QString result;
    if (bytes.isEmpty())
        return result;
    Converter &converter = decoder();
    if (!converter.valid()) { // no gconv module: keep the ASCII, mark the rest
        for (const char byte : bytes)
            result += static_cast<unsigned char>(byte) < 0x80 ? QChar(char16_t(byte))
                                                              : QChar(0xFFFD);
        return result;
    }
    iconv(converter.handle(), nullptr, nullptr, nullptr, nullptr);

    // A GB18030 character of n bytes never needs more than n UTF-16 units.
    result.resize(bytes.size());
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *outStart = reinterpret_cast<char *>(result.data());
    char *out = outStart;
    size_t outLeft = size_t(result.size()) * sizeof(char16_t);
    while (inLeft > 0) {
        if (iconv(converter.handle(), &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG) // cannot happen with the size above; stop rather than loop
            break;
        // EILSEQ or EINVAL (a truncated character at the end): one replacement character for
        // one byte, then carry on with the next byte.
        if (outLeft < sizeof(char16_t))
            break;
        const char16_t replacement = 0xFFFD;
        memcpy(out, &replacement, sizeof replacement);
        out += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
        iconv(converter.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    result.resize(qsizetype((out - outStart) / qsizetype(sizeof(char16_t))));
    return result;
}

QByteArray ToGb18030(QStringView text)
{
    QByteArray result;
    if (text.isEmpty())
        return result;
    Converter &converter = encoder();
    if (!converter.valid()) {
        for (const QChar c : text)
            result += c.unicode() < 0x80 ? char(c.unicode()) : '?';
        return result;
    }
    iconv(converter.handle(), nullptr, nullptr, nullptr, nullptr);

    // Up to 4 bytes per UTF-16 unit (a BMP character outside GBK takes 4 bytes).
    result.resize(text.size() * 4);
    char *in = reinterpret_cast<char *>(const_cast<QChar *>(text.data()));
    size_t inLeft = size_t(text.size()) * sizeof(char16_t);
    char *out = result.data();
    size_t outLeft = size_t(result.size());
    while (inLeft > 0) {
        if (iconv(converter.handle(), &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG || outLeft == 0)
            break;
        // An unpaired surrogate: '?' in its place.
        *out++ = '?';
        --outLeft;
        in += sizeof(char16_t);
        inLeft = inLeft >= sizeof(char16_t) ? inLeft - sizeof(char16_t) : 0;
        iconv(converter.handle(), nullptr, nullptr, nullptr, nullptr);
    }
    result.resize(out - result.data());
    return result;
}

} // namespace Pw
