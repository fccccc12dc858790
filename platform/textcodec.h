#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace Pw {

// GB18030 (a superset of GBK, code page 936) through glibc's iconv. Safe on any input and from
// any thread.

// Bytes that cannot be decoded each become U+FFFD; decoding never fails as a whole.
QString FromGb18030(QByteArrayView bytes);

// Every Unicode character has a GB18030 form; an unpaired surrogate becomes '?'.
QByteArray ToGb18030(QStringView text);

// Length in bytes of the GB18030 character (or undecodable byte) starting at bytes[pos]:
// 1, 2 or 4. Structural only (lead/trail byte ranges), so it works without iconv.
qsizetype Gb18030CharLength(QByteArrayView bytes, qsizetype pos);

// The longest prefix of bytes no longer than maxBytes that does not cut a character in two.
qsizetype Gb18030PrefixLength(QByteArrayView bytes, qsizetype maxBytes);

// Length in bytes of the UTF-8 sequence starting at bytes[pos] (1 for a stray byte).
qsizetype Utf8CharLength(QByteArrayView bytes, qsizetype pos);

// The longest prefix of bytes no longer than maxBytes that does not cut a UTF-8 sequence.
qsizetype Utf8PrefixLength(QByteArrayView bytes, qsizetype maxBytes);

// Whether bytes are well-formed UTF-8 (EXIF text is decoded as UTF-8 when this holds).
bool IsValidUtf8(QByteArrayView bytes);

} // namespace Pw
