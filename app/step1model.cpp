#include "app/step1model.h"

#include "exif/camerastamp.h"
#include "imaging/pictureservice.h"
#include "platform/apppaths.h"
#include "platform/nativefile.h"
#include "platform/showntext.h"
#include "platform/sourceselection.h"
#include "run/sizetime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace Pw {

namespace {

// The texts belong to step 1's window.
class Texts
{
    Q_DECLARE_TR_FUNCTIONS(Pw::Frm1)
};

} // namespace

QString PreviewTitle(const QString &fileName, bool photo)
{
    return QStringLiteral("【") + (photo ? Texts::tr("相片") : Texts::tr("图片")) + fileName
           + QStringLiteral("】");
}

QString PreviewSizeText(int width, int height, qint64 bytes)
{
    return Texts::tr("→宽") + QString::number(width) + Texts::tr("像素,高")
           + QString::number(height) + Texts::tr("像素,文件大小为:") + FormatFileSize(bytes);
}

QString PreviewUnreadableText(const QString &problem, qint64 bytes)
{
    return Texts::tr("→无法读取：") + problem + Texts::tr(",文件大小为:") + FormatFileSize(bytes);
}

namespace {

// The first bytes of every type the list offers; a file that starts with one of them is a
// picture whose header is damaged rather than something else with a picture's name.
bool startsLikeAPicture(const QString &path)
{
    QFile file;
    if (!OpenRegularFile(file, path))
        return false;
    const QByteArray head = file.read(4);
    return head.startsWith("\xFF\xD8\xFF") || head.startsWith("\x89PNG") || head.startsWith("BM");
}

} // namespace

QString PreviewProblem(const QString &path, const PictureInfo &measured, const QString &drawError)
{
    if (measured.width > 0 && measured.height > 0)
        return drawError; // the service's own reason: damaged data, too large
    const QFileInfo info(path);
    if (!info.exists())
        return Texts::tr("文件不存在");
    if (!info.isFile())
        return Texts::tr("不是普通文件（文件夹、设备或管道）");
    if (info.size() == 0)
        return Texts::tr("文件是空的");
    if (startsLikeAPicture(path))
        return Texts::tr("图片已损坏");
    return Texts::tr("不是图片文件");
}

QString EmptyListNote(bool folderExists, PictureTypes types)
{
    if (!folderExists)
        return Texts::tr("此文件夹不存在，没有列出任何图片");
    QStringList names;
    if (types.testFlag(PictureType::Jpg))
        names << QStringLiteral("JPG");
    if (types.testFlag(PictureType::Png))
        names << QStringLiteral("PNG");
    if (types.testFlag(PictureType::Bmp))
        names << QStringLiteral("BMP");
    if (names.isEmpty())
        return Texts::tr("没有勾选任何图片类型（JPG、PNG、BMP）");
    return Texts::tr("此文件夹中没有 %1 图片").arg(names.join(Texts::tr("、")));
}

QString NothingSelectedMessage()
{
    return Texts::tr("没有选中任何图片，请在列表中至少选择一个图片！");
}

QString MissingFolderMessage(const QString &folder)
{
    return Texts::tr("文件夹“%1”不存在！").arg(folder);
}

BulkChoice BulkChoiceOf(int selected, int total, bool invertedJustNow)
{
    if (total <= 0)
        return BulkChoice::None;
    if (selected == total)
        return BulkChoice::All;
    if (selected == 0)
        return BulkChoice::Nothing;
    return invertedJustNow ? BulkChoice::Inverted : BulkChoice::None;
}

QString FolderDialogStart(const QString &boxText)
{
    QString folder = TypedFolder(boxText);
    if (folder.isEmpty())
        return WithTrailingSlash(QDir::homePath());
    QString current = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo(current).isDir()) {
        const QString parent = QFileInfo(current).absolutePath();
        if (parent == current)
            return WithTrailingSlash(QDir::homePath());
        current = parent;
    }
    return WithTrailingSlash(current);
}

QString PreviewTimesText(const FileTimes &times, const QString &cameraModel,
                         const QString &shotTime)
{
    QString text = Texts::tr("→生成于:") + FormatGeneralDateTime(times.created) + u'\n'
                   + Texts::tr("   存取于:") + FormatGeneralDateTime(times.accessed) + u'\n'
                   + Texts::tr("   修改于:") + FormatGeneralDateTime(times.modified);
    if (!cameraModel.isEmpty())
        text += u'\n' + Texts::tr("   拍摄于:") + shotTime + u'(' + cameraModel + u')';
    return text;
}

QString SelectNoneHint()
{
    return Texts::tr("注：可按住CTRL选择/不选任意的图片文件");
}

Preview LoadPreview(const QString &path, QSize canvasSize, const QColor &background)
{
    Preview preview;
    preview.path = path;
    Canvas canvas;
    canvas.fillColour = background;
    canvas.resize(canvasSize.width(), canvasSize.height());
    const QString drawError = DrawLetterbox(canvas, path);
    const PictureInfo measured = LoadAndMeasure(path); // 0 x 0 for a file that does not load
    preview.image = canvas.image;
    preview.problem = PreviewProblem(path, measured, drawError);

    QString model, shot;
    ReadCameraStamp(path, model, shot);
    model = CutAtNul(model);
    shot = CutAtNul(shot);
    preview.photo = !model.isEmpty();
    const QFileInfo info(path);
    // A name may hold line breaks or terminal escapes; the label shows them written out.
    preview.title = PreviewTitle(ShownName(info.fileName()), preview.photo);
    preview.size = measured.size().isEmpty()
                           ? PreviewUnreadableText(preview.problem, info.size())
                           : PreviewSizeText(measured.width, measured.height, info.size());
    preview.times = PreviewTimesText(ReadFileTimes(path), model, shot);
    return preview;
}

DroppedSource ResolveDrop(const QStringList &localPaths)
{
    DroppedSource source;
    if (localPaths.isEmpty())
        return source;
    if (localPaths.size() == 1 && QFileInfo(localPaths.first()).isDir()) {
        source.folder = WithTrailingSlash(QDir::cleanPath(localPaths.first()));
        return source;
    }
    QString folder;
    for (const QString &path : localPaths) {
        const QFileInfo info(path);
        if (!info.isFile())
            return {};
        const QString parent = WithTrailingSlash(info.absolutePath());
        if (!folder.isEmpty() && parent != folder)
            return {};
        folder = parent;
        if (ParsePictureTypes(info.suffix()))
            source.names << info.fileName();
    }
    if (source.names.isEmpty())
        return {}; // no picture among the files
    source.folder = folder;
    return source;
}

OpenedSource ResolveOpened(const QStringList &paths)
{
    OpenedSource opened;
    QStringList absolute;
    for (const QString &path : paths)
        absolute << QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const auto first = std::find_if(absolute.cbegin(), absolute.cend(),
                                    [](const QString &path) { return QFileInfo::exists(path); });
    if (first == absolute.cend()) {
        opened.leftOut = int(paths.size());
        return opened;
    }
    QStringList taken{*first};
    if (!QFileInfo(*first).isDir()) {
        const QString folder = QFileInfo(*first).absolutePath();
        for (auto it = first + 1; it != absolute.cend(); ++it) {
            const QFileInfo info(*it);
            if (info.isFile() && info.absolutePath() == folder)
                taken << *it;
        }
    }
    opened.source = ResolveDrop(taken);
    const qsizetype openedCount = opened.source.folder.isEmpty()  ? 0
                                  : opened.source.names.isEmpty() ? 1
                                                                  : opened.source.names.size();
    opened.leftOut = int(paths.size() - openedCount);
    return opened;
}

QString TypedFolder(const QString &text)
{
    QString folder = text.trimmed();
    if (folder == u"~" || folder.startsWith(QStringLiteral("~/")))
        folder = QDir::homePath() + folder.mid(1);
    return WithTrailingSlash(folder);
}

} // namespace Pw
