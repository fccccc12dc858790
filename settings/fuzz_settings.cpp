// libFuzzer target: the settings reader and writer on arbitrary file bytes, without the file
// itself (the door that opens it is tested on its own). The input is the file; a few keys are
// read, then a value is written and must read back exactly, and a key the write did not touch
// must read as before.

#include "settings/inistore.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    // Names the program uses, and one taken from the input's first line.
    const QString section = QStringLiteral("已选择");
    const QString key = QStringLiteral("重命名");
    for (const QString &name : {QStringLiteral("方式"), key, QStringLiteral("x")})
        check(Pw::IniValueIn(input, section, name).toUtf8().size() <= 4 * Pw::kIniValueLimit);
    const QString firstLine = QString::fromUtf8(input.left(input.indexOf('\n')));
    const QString untouched = Pw::IniValueIn(input, firstLine, firstLine);

    // A value made of the input's tail: whatever the writer accepts must read back as written.
    QString value = QString::fromUtf8(input.right(std::min<qsizetype>(input.size(), 40)))
                            .simplified();
    value.remove(QChar(0));
    if (value.isEmpty())
        value = QStringLiteral("v");
    const std::optional<QByteArray> written = Pw::IniBytesWith(input, section, key, value);
    if (!written)
        return 0;
    const QString back = Pw::IniValueIn(*written, section, key);
    if (back != value)
        std::fprintf(stderr, "wrote [%s] read [%s]\nfile: %s\n",
                     value.toUtf8().toHex(' ').constData(), back.toUtf8().toHex(' ').constData(),
                     written->toHex(' ').constData());
    check(back == value);
    // The first line names another key (its section and key are the same text, and the two
    // written to differ), so it reads as it did.
    check(Pw::IniValueIn(*written, firstLine, firstLine) == untouched);
    return 0;
}
