// libFuzzer target: the settings reader and writer on arbitrary file bytes. The input is the
// file; a few keys are read, then a value is written and must read back exactly, and the lines
// the write did not touch must survive.

#include "settings/inistore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QString scratchFile()
{
    static const QString path = QDir::tempPath() + QStringLiteral("/fuzz_settings_")
                                + QString::number(::getpid()) + QStringLiteral("/Set.ini");
    static const bool made = QDir().mkpath(path.section(u'/', 0, -2));
    Q_UNUSED(made);
    return path;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes) == bytes.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString file = scratchFile();
    if (!writeFile(file, input))
        return 0;
    // Names the program uses, and one taken from the input's first line.
    const QString section = QStringLiteral("已选择");
    const QStringList keys = {QStringLiteral("方式"), QStringLiteral("重命名"),
                              QStringLiteral("x")};
    for (const QString &key : keys)
        check(Pw::ReadIni(section, key, file).toUtf8().size() <= 4 * Pw::kIniValueLimit);
    const QString firstLine = QString::fromUtf8(input.left(input.indexOf('\n')));
    Pw::ReadIni(firstLine, firstLine, file);

    // A value made of the input's tail: whatever WriteIni accepts must read back as written.
    QString value = QString::fromUtf8(input.right(std::min<qsizetype>(input.size(), 40)))
                            .simplified();
    value.remove(QChar(0));
    if (value.isEmpty())
        value = QStringLiteral("v");
    if (Pw::WriteIni(section, QStringLiteral("重命名"), value, file)) {
        const QString back = Pw::ReadIni(section, QStringLiteral("重命名"), file);
        if (back != value) {
            QFile written(file);
            written.open(QIODevice::ReadOnly);
            std::fprintf(stderr, "wrote [%s] read [%s]\nfile: %s\n",
                         value.toUtf8().toHex(' ').constData(),
                         back.toUtf8().toHex(' ').constData(),
                         written.readAll().toHex(' ').constData());
        }
        check(back == value);
    }
    return 0;
}
