#include "settings/inistore.h"

#include "platform/apppaths.h"
#include "platform/nativefile.h"
#include "platform/textcodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include <sys/stat.h>

namespace Pw {

namespace {

enum class Encoding { Gb18030, Utf8 };

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// The file's bytes and how to read them. A UTF-8 byte-order mark switches to UTF-8 for the
// whole file (someone saved Set.ini from an editor); the mark itself is skipped.
struct IniText
{
    QByteArray bytes;
    Encoding encoding = Encoding::Gb18030;
    qsizetype start = 0;
};

qsizetype charLength(QByteArrayView bytes, qsizetype pos, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? Utf8CharLength(bytes, pos) : Gb18030CharLength(bytes, pos);
}

QByteArray encode(const QString &text, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? text.toUtf8() : ToGb18030(text);
}

QString decode(QByteArrayView bytes, Encoding encoding)
{
    if (encoding == Encoding::Gb18030)
        return FromGb18030(bytes);
    // QString::fromUtf8 drops a leading U+FEFF, which a value may hold (the file's own
    // byte-order mark is skipped before any line is read).
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder(bytes);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Blank bytes never occur inside a multi-byte GB18030 or UTF-8 character, so trimming on
// bytes is safe.
QByteArrayView trimmed(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin);
}

char foldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Names compare without regard to ASCII case. The walk goes character by character, since a
// trail byte of a GB18030 character may look like an ASCII letter and must not be folded.
bool namesEqual(QByteArrayView inFile, QByteArrayView wanted, Encoding encoding)
{
    if (inFile.size() != wanted.size())
        return false;
    qsizetype pos = 0;
    while (pos < inFile.size()) {
        const qsizetype length = charLength(inFile, pos, encoding);
        if (length == 1) {
            if (foldAscii(inFile[pos]) != foldAscii(wanted[pos]))
                return false;
        } else if (inFile.sliced(pos, length) != wanted.sliced(pos, length)) {
            return false;
        }
        pos += length;
    }
    return true;
}

enum class LineKind { Other, Section, Key };

struct Line
{
    qsizetype begin = 0;      // first byte of the line
    qsizetype contentEnd = 0; // the '\n' (or the end of the file)
    qsizetype end = 0;        // after the '\n'
    LineKind kind = LineKind::Other;
    QByteArrayView name;  // section or key name, trimmed
    QByteArrayView value; // key value, trimmed
};

// Finds ']' as a character, never as the trail byte of a GB18030 character.
qsizetype findClosingBracket(QByteArrayView text, Encoding encoding)
{
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (text[pos] == ']')
            return pos;
        pos += charLength(text, pos, encoding);
    }
    return -1;
}

// Splits off the line at begin and classifies it. Key lines are taken apart only when
// wanted: most lines of a large file lie outside the section asked for, and only their
// header test matters.
Line parseLine(const IniText &ini, qsizetype begin, bool wantKey)
{
    const char *data = ini.bytes.constData();
    const qsizetype size = ini.bytes.size();
    Line line;
    line.begin = begin;
    const void *newline = memchr(data + begin, '\n', size_t(size - begin));
    line.contentEnd = newline ? static_cast<const char *>(newline) - data : size;
    line.end = newline ? line.contentEnd + 1 : size;

    qsizetype first = begin;
    while (first < line.contentEnd && isBlank(data[first]))
        ++first;
    if (first < line.contentEnd && data[first] == '[') {
        const QByteArrayView text = trimmed(QByteArrayView(data + first, line.contentEnd - first));
        const qsizetype close = findClosingBracket(text.sliced(1), ini.encoding);
        if (close >= 0) { // "[name" without its bracket is not a header: kept, never matched
            line.kind = LineKind::Section;
            line.name = trimmed(text.sliced(1, close));
        }
        return line;
    }
    if (!wantKey)
        return line;
    // '=' (0x3D) is never part of a multi-byte character in either encoding.
    const QByteArrayView text(data + first, line.contentEnd - first);
    const qsizetype equals = text.indexOf('=');
    if (equals >= 0) {
        line.kind = LineKind::Key;
        line.name = trimmed(text.first(equals));
        line.value = trimmed(text.sliced(equals + 1));
    }
    return line;
}

// Calls visit(line, inWantedSection) for each line; stops when visit returns false. Lines
// outside the wanted section are only told apart as headers or not (kind Other otherwise).
template<typename Visit>
void forEachLine(const IniText &ini, QByteArrayView section, Visit visit)
{
    bool inSection = false;
    qsizetype pos = ini.start;
    while (pos < ini.bytes.size()) {
        const Line line = parseLine(ini, pos, inSection);
        if (line.kind == LineKind::Section)
            inSection = namesEqual(line.name, section, ini.encoding);
        if (!visit(line, inSection))
            return;
        pos = line.end;
    }
}

// Says once per file, on standard error, that a settings file is something else (a FIFO, a
// device, a file far too large) and is treated as absent: every read and write would say it
// again otherwise.
void warnNotSettings(const QString &path, const QString &why)
{
    static QMutex mutex;
    static QSet<QString> told;
    const QMutexLocker locker(&mutex);
    if (told.contains(path))
        return;
    told.insert(path);
    const QString text = QCoreApplication::translate(
                                 "Pw::IniStore",
                                 "pixwright：注意：设置文件%1%2，按没有设置文件处理，"
                                 "也不会写入")
                                 .arg(path, why);
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

// Reads the whole file once; false when it cannot be read or is not settings at all (anything
// but a regular file, or over kIniMaxFileSize). A missing file reads as empty. The file is
// opened without blocking and only read when regular: a FIFO or /dev/zero named Set.ini must
// not hang or stall the program.
bool loadIni(const QString &path, QByteArray &bytes)
{
    struct stat info = {};
    if (::lstat(NativePath(path).constData(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    QString error;
    QFile file;
    if (!OpenRegularFile(file, path, &error)) {
        if (error == NotRegularFileMessage())
            warnNotSettings(path, QCoreApplication::translate("Pw::IniStore", "不是普通文件"));
        return false;
    }
    const qint64 size = file.size();
    if (size > kIniMaxFileSize) {
        warnNotSettings(path, QCoreApplication::translate("Pw::IniStore", "大于 1 MB"));
        return false;
    }
    // Read with a bound even so: the length may grow between the check and the read. One byte
    // past the size seen tells growth apart; asking for the whole cap would allocate 1 MB for
    // every key read.
    bytes = file.read(std::min<qint64>(size, kIniMaxFileSize) + 1);
    if (bytes.size() > kIniMaxFileSize) {
        warnNotSettings(path, QCoreApplication::translate("Pw::IniStore", "大于 1 MB"));
        return false;
    }
    return file.error() == QFileDevice::NoError;
}

IniText iniText(const QByteArray &bytes)
{
    IniText ini;
    ini.bytes = bytes;
    if (bytes.startsWith(kUtf8Bom)) {
        ini.encoding = Encoding::Utf8;
        ini.start = kUtf8Bom.size();
    }
    return ini;
}

QString resolvedPath(const QString &file)
{
    return file.isEmpty() ? DefaultSettingsFile() : file;
}

bool holdsLineBreakOrNul(const QString &text)
{
    return text.contains(u'\n') || text.contains(u'\r') || text.contains(QChar(0));
}

// Blank names and values, and what could not be read back as written, are refused rather than
// written wrong.
bool isStorable(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();
    return !sectionName.isEmpty() && !keyName.isEmpty() && !value.trimmed().isEmpty()
           && !holdsLineBreakOrNul(section) && !holdsLineBreakOrNul(key)
           && !holdsLineBreakOrNul(value) && !sectionName.contains(u']') && !keyName.contains(u'=')
           && !keyName.startsWith(u'[');
}

bool isQuote(QChar c)
{
    return c == u'"' || c == u'\'';
}

// Reading trims blanks and strips one pair of matching quotes. A value that would lose
// something that way (blanks at either end, or its own enclosing quotes) is written inside
// one more pair of quotes, so that every value reads back exactly as it was written.
QString storedForm(const QString &value)
{
    const bool blankEnds = isBlank(value.front().toLatin1()) || isBlank(value.back().toLatin1());
    const bool quoted = value.size() >= 2 && isQuote(value.front())
                        && value.back() == value.front();
    return (blankEnds || quoted) ? u'"' + value + u'"' : value;
}

QString &namedDefaultFile()
{
    static QString path;
    return path;
}

QString &chosenDefaultFile()
{
    static QString path;
    return path;
}

// Writability is tried, not inferred from permission bits: root may write anywhere the bits
// forbid, and a read-only mount refuses even root.
bool folderAcceptsFiles(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(WithTrailingSlash(folder) + QStringLiteral(".pw-probe-XXXXXX"));
    return probe.open();
}

} // namespace

QString DefaultSettingsFile()
{
    if (!namedDefaultFile().isEmpty())
        return namedDefaultFile();
    if (chosenDefaultFile().isEmpty()) {
        // Installed, the settings are the user's own even when the executable's folder takes
        // files (a DESTDIR tree, a prefix in the home folder).
        const QString appFolder = AppFolder();
        if (!RunsInstalled() && folderAcceptsFiles(appFolder)) {
            chosenDefaultFile() = appFolder + QStringLiteral("Set.ini");
        } else {
            chosenDefaultFile() = QStandardPaths::writableLocation(
                                          QStandardPaths::GenericConfigLocation)
                                  + QStringLiteral("/pixwright/Set.ini");
        }
    }
    return chosenDefaultFile();
}

void SetDefaultSettingsFile(const QString &path)
{
    namedDefaultFile() = path;
    chosenDefaultFile().clear();
}

QString IniValueIn(const QByteArray &fileBytes, const QString &section, const QString &key)
{
    if (key.trimmed().isEmpty() || section.trimmed().isEmpty() || fileBytes.isEmpty())
        return QString();
    const IniText ini = iniText(fileBytes);
    const QByteArray wantedSection = encode(section.trimmed(), ini.encoding);
    const QByteArray wantedKey = encode(key.trimmed(), ini.encoding);
    QByteArrayView found;
    bool hit = false;
    forEachLine(ini, wantedSection, [&](const Line &line, bool inSection) {
        if (inSection && line.kind == LineKind::Key
            && namesEqual(line.name, wantedKey, ini.encoding)) {
            found = line.value;
            hit = true;
            return false;
        }
        return true;
    });
    if (!hit)
        return QString();

    if (found.size() >= 2 && (found.front() == '"' || found.front() == '\'')
        && found.back() == found.front())
        found = found.sliced(1, found.size() - 2);
    const qsizetype kept = ini.encoding == Encoding::Utf8
                                   ? Utf8PrefixLength(found, kIniValueLimit)
                                   : Gb18030PrefixLength(found, kIniValueLimit);
    QByteArray value = found.first(kept).toByteArray();
    value.replace('\0', QByteArrayView());
    return decode(value, ini.encoding);
}

QString ReadIni(const QString &section, const QString &key, const QString &file)
{
    if (key.trimmed().isEmpty() || section.trimmed().isEmpty())
        return QString();
    QByteArray bytes;
    if (!loadIni(resolvedPath(file), bytes))
        return QString();
    return IniValueIn(bytes, section, key);
}

std::optional<QByteArray> IniBytesWith(const QByteArray &fileBytes, const QString &section,
                                       const QString &key, const QString &value)
{
    if (!isStorable(section, key, value))
        return std::nullopt;
    const QString sectionName = section.trimmed();
    const QString keyName = key.trimmed();

    const IniText ini = iniText(fileBytes);
    // A character the file's encoding cannot hold (some private-use code points have no
    // GB18030 form in iconv) would be stored as something else: refuse instead of reporting
    // success for a value that never reads back.
    for (const QString &text : {sectionName, keyName, storedForm(value)})
        if (decode(encode(text, ini.encoding), ini.encoding) != text)
            return std::nullopt;

    const QByteArray wantedSection = encode(sectionName, ini.encoding);
    const QByteArray wantedKey = encode(keyName, ini.encoding);
    const QByteArray newLine = wantedKey + '=' + encode(storedForm(value), ini.encoding) + "\r\n";

    // Where the new line goes: over the first matching key line, else after the last
    // non-blank line of the first matching section, else at the end under a new header.
    qsizetype replaceBegin = -1;
    qsizetype replaceEnd = -1;
    qsizetype sectionInsert = -1;
    bool inFirstSection = false;
    forEachLine(ini, wantedSection, [&](const Line &line, bool inSection) {
        if (line.kind == LineKind::Section) {
            inFirstSection = inSection && sectionInsert < 0;
            if (inFirstSection)
                sectionInsert = line.end;
            return true;
        }
        if (inSection && line.kind == LineKind::Key
            && namesEqual(line.name, wantedKey, ini.encoding)) {
            replaceBegin = line.begin;
            replaceEnd = line.end;
            return false;
        }
        if (inFirstSection
            && !trimmed(QByteArrayView(ini.bytes).sliced(line.begin, line.contentEnd - line.begin))
                        .isEmpty())
            sectionInsert = line.end;
        return true;
    });

    QByteArray insert;
    if (replaceBegin < 0) {
        replaceBegin = replaceEnd = sectionInsert >= 0 ? sectionInsert : ini.bytes.size();
        // The line before may be the last one, without a line break.
        if (replaceBegin > ini.start && ini.bytes.at(replaceBegin - 1) != '\n')
            insert += "\r\n";
        if (sectionInsert < 0)
            insert += '[' + wantedSection + "]\r\n";
    }
    insert += newLine;
    QByteArray written = ini.bytes;
    written.replace(replaceBegin, replaceEnd - replaceBegin, insert);
    return written;
}

bool WriteIni(const QString &section, const QString &key, const QString &value, const QString &file)
{
    // Refused before the file is touched, or even its folder made.
    if (!isStorable(section, key, value))
        return false;
    const QString path = resolvedPath(file);
    if (file.isEmpty() && !QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QByteArray bytes;
    if (!loadIni(path, bytes))
        return false; // anything but a regular settings file is never written through
    const std::optional<QByteArray> written = IniBytesWith(bytes, section, key, value);
    if (!written)
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(*written) != written->size())
        return false; // the save file is discarded; the old file stays
    return out.commit();
}

} // namespace Pw
