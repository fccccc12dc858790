#include "exif/infocommand.h"

#include "exif/tagcatalogue.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace Pw {

namespace {

constexpr const char *kContext = "Pw::InfoCommand";

QString tr(const char *text)
{
    return QCoreApplication::translate(kContext, text);
}

void write(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

QString usage()
{
    return tr("用法：pixwright info [--settings FILE] FILE...\n"
              "显示每张图片记录的数码相机信息（EXIF）。\n"
              "退出状态：0 每个文件都已读取；1 有文件无法读取；2 用法错误。\n");
}

// Readable as a file: a regular file that opens for reading. Whether it holds camera
// information is the text's business, not the exit status's.
QString readProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return tr("文件不存在");
    if (info.isDir())
        return tr("这是一个文件夹");
    if (!info.isFile())
        return tr("不是普通文件");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return QString();
}

} // namespace

int RunInfoCommand(const QStringList &args)
{
    QStringList files;
    bool optionsDone = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (optionsDone || !arg.startsWith(u'-') || arg == u"-") {
            files.append(arg);
        } else if (arg == u"--") {
            optionsDone = true;
        } else if (arg == u"--help" || arg == u"-h") {
            write(stdout, usage());
            return 0;
        } else if (arg == u"--settings" && i + 1 < args.size()) {
            ++i; // accepted like every other command; the camera text reads no settings
        } else {
            write(stderr, tr("pixwright info：未知的选项 %1\n").arg(arg) + usage());
            return 2;
        }
    }
    if (files.isEmpty()) {
        write(stderr, usage());
        return 2;
    }

    int status = 0;
    bool first = true;
    for (const QString &path : files) {
        const QString problem = readProblem(path);
        if (!problem.isEmpty()) {
            write(stderr, tr("pixwright info：无法读取 %1：%2\n").arg(path, problem));
            status = 1;
            continue;
        }
        const QString header = QStringLiteral("【") + QFileInfo(path).fileName()
                               + QStringLiteral("】");
        QString text = BuildCameraInfoText(header, path);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (!first)
            write(stdout, QStringLiteral("\n"));
        first = false;
        write(stdout, text + u'\n');
    }
    std::fflush(stdout);
    return status;
}

} // namespace Pw
