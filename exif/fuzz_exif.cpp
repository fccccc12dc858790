// libFuzzer target: the Exif reader and the catalogue text on arbitrary bytes. Each input is
// tried as a whole file and as the TIFF part of an Exif segment, so the fuzzer spends its time
// in the IFD walk rather than looking for the segment.

#include "exif/exifreader.h"
#include "exif/tagcatalogue.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void exercise(const QByteArray &bytes)
{
    Pw::ExifReader reader;
    const bool loaded = reader.LoadBytes(bytes);
    const QString header = QStringLiteral("【h】");
    const QString text = Pw::CameraInfoText(header, reader, loaded);
    // Values are shown as stored, line breaks included, so only the frame is checked.
    check(text.startsWith(header));
    if (!loaded)
        check(text == header + QStringLiteral("\r\n") + Pw::NoCameraInfoMessage());
    else
        check(text == header || text.mid(header.size(), 2) == QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < reader.EntryCount(); ++i) {
        const Pw::ExifEntry entry = reader.Entry(i);
        check(entry.TagId >= 0 && entry.TagId <= 0xFFFF);
    }
    const Pw::ExifValue count = reader.Tag(0);
    check(count.isEmpty() || count.toInteger() == reader.EntryCount());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    exercise(input);

    QByteArray wrapped("\xFF\xD8\xFF\xE1\x00\x00"
                       "Exif\0\0",
                       12);
    wrapped += input;
    exercise(wrapped);
    return 0;
}
