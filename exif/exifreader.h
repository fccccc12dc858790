#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace Pw {

// One rendered Exif value: empty, an integer (a LONG and an SLONG both fit), or a text kept
// as its raw bytes so that a NUL cut happens before the bytes are decoded.
class ExifValue
{
public:
    enum class Kind { Empty, Integer, Text };

    ExifValue() = default;
    static ExifValue fromInteger(qint64 value);
    static ExifValue fromBytes(const QByteArray &bytes);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isInteger() const { return m_kind == Kind::Integer; }
    bool isText() const { return m_kind == Kind::Text; }
    qint64 toInteger() const { return m_integer; }
    QByteArray bytes() const { return m_bytes; }

    // Decimal digits for an integer, the decoded bytes (NULs included) for a text, "" for empty.
    QString toText() const;
    // As toText(), but a text is cut before its first NUL byte first.
    QString toTextBeforeNul() const;

    // ASCII as is; other bytes as UTF-8 when they are valid UTF-8, else as GB18030.
    static QString decodeText(const QByteArray &bytes);

private:
    Kind m_kind = Kind::Empty;
    qint64 m_integer = 0;
    QByteArray m_bytes;
};

// One IFD entry as read; Value is rendered by the reader's per-type rules.
struct ExifEntry
{
    qint32 TagId = 0;
    qint32 ValueType = 0;
    quint32 ValueCount = 0;
    quint32 ValueOffset = 0;
    ExifValue Value;
};

// Reads the Exif segment of one JPEG file (IFD0, its next-IFD chain, then the Exif sub-IFD)
// and answers queries by tag number; of a TIFF file, its first IFD and Exif sub-IFD; of a
// HEIC/HEIF, AVIF or WebP file, the Exif block it holds. Read only; never throws.
class ExifReader
{
public:
    ExifReader() = default;

    void setPicFile(const QString &path) { m_picFile = path; }
    QString picFile() const { return m_picFile; }

    // Reads picFile, or path when picFile is still empty. Yes only when an Exif segment was
    // found and walked to its end; damaged data (reads outside the file, IFD loops) gives no.
    bool Load(const QString &path = QString());
    // The same on bytes already in memory (Load reads the file and comes here).
    bool LoadBytes(const QByteArray &fileBytes);
    // A raw Exif block as a decoder hands it out: the TIFF structure alone (byte order, 42,
    // IFD0, ...), read as a JPEG's segment is.
    bool LoadTiffBlock(const QByteArray &block);

    // Tag(0) is the number of entries read; otherwise the value of the first entry with tag n.
    ExifValue Tag(int n);

    bool Loaded() const { return m_loaded; }
    qint64 SegmentPos() const { return m_segmentPos; }
    // Where the TIFF structure starts in the bytes read: 0 for a TIFF file or a raw block.
    qint64 TiffStart() const { return m_tiffStart; }
    qint64 ExifIfdOffset() const { return m_exifIfdOffset; }
    bool IsIntelOrder() const { return m_intel; }

    qsizetype EntryCount() const { return m_entries.size(); }
    // Entry index (0-based, in reading order) with its value rendered.
    ExifEntry Entry(qsizetype index) const;

    // Files larger than this are not read (no real photo comes near it).
    static constexpr qint64 kMaxFileSize = qint64(1) << 30;
    // IFDs read per file; cameras write two to four.
    static constexpr int kMaxIfds = 64;

private:
    void reset(const QByteArray &bytes);
    bool findExifSegment();
    bool walkTiff();
    bool walkIfds(qint64 ifd0Offset);
    bool readExifPointer(qint64 entryPos);
    ExifValue render(qint64 entryPos, bool *ok) const;

    bool has(qint64 pos, qint64 length) const;
    quint16 read16(qint64 pos) const;
    quint32 read32(qint64 pos) const;

    QString m_picFile;
    QByteArray m_bytes;
    qint64 m_segmentPos = 0;
    qint64 m_tiffStart = 0;
    bool m_followChain = true; // IFD0's next-IFD chain (a JPEG's thumbnail; not a TIFF's pages)
    qint64 m_exifIfdOffset = 0;
    bool m_intel = false;
    bool m_loaded = false;
    // File positions of the entries; values are rendered when asked for, so a crafted file
    // with thousands of entries pointing at one large block cannot blow up memory.
    QList<qint64> m_entries;
    QHash<int, qsizetype> m_firstByTag;
};

} // namespace Pw
