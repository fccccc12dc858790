#include "cli/infocommand.h"

#include "cli/console.h"
#include "exif/tagcatalogue.h"
#include "platform/bytepaths.h"
#include "platform/nativefile.h"
#include "platform/showntext.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace Pw {

namespace {

// The translation context of this command's texts.
struct InfoCommand
{
    Q_DECLARE_TR_FUNCTIONS(Pw::InfoCommand)
};

QString usage()
{
    return InfoCommand::tr("用法：pixwright info [--settings FILE] FILE...\n"
                           "显示每张图片记录的数码相机信息（EXIF）。\n");
}

QString exitStatusText()
{
    return InfoCommand::tr("退出状态：0 每个文件都已读取；1 有文件无法读取；2 用法错误。\n");
}

// Readable as a file: a regular file that opens for reading. Whether it holds camera
// information is the text's business, not the exit status's.
QString readProblem(const QString &path)
{
    // By its bytes: a name that is not UTF-8 is still the file the user named.
    if (!PathExists(path))
        return InfoCommand::tr("文件不存在");
    if (IsFolderPath(path))
        return InfoCommand::tr("这是一个文件夹");
    if (RegularFileSize(path) < 0)
        return InfoCommand::tr("不是普通文件");
    // Opened without blocking: the file may have been swapped for a FIFO since the check.
    QString error;
    QFile file;
    if (!OpenRegularFile(file, path, &error))
        return error;
    return QString();
}

} // namespace

int RunInfoCommand(const QStringList &args)
{
    const Console console(QStringLiteral("info"));
    CommandLine line;
    // Accepted like every other command; the camera text reads no settings.
    line.addOptions({{QStringLiteral("settings"), InfoCommand::tr("不读取，为与其他命令一致而接受"),
                      QStringLiteral("FILE")}});
    QString subject;
    QString problem;
    if (!line.parse(args, &subject, &problem))
        return console.badArgument(subject, problem);
    if (line.helpWanted()) {
        console.out(usage() + line.optionTable() + exitStatusText());
        return 0;
    }
    const QStringList files = line.positional();
    if (files.isEmpty()) {
        console.err(usage());
        return 2;
    }

    int status = 0;
    bool first = true;
    for (const QString &path : files) {
        const QString problem = readProblem(path);
        if (!problem.isEmpty()) {
            console.error(InfoCommand::tr("无法读取 %1：%2").arg(ShownName(path), problem));
            status = 1;
            continue;
        }
        const QString header = QStringLiteral("【") + ShownName(QFileInfo(path).fileName())
                               + QStringLiteral("】");
        if (!first)
            console.out(QStringLiteral("\n"));
        first = false;
        console.out(BuildCameraInfoText(header, path) + u'\n');
    }
    return status;
}

} // namespace Pw
