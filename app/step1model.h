#pragma once

#include "platform/fileutils.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// What step 1 shows and decides, without widgets, so that tests reach it directly.
namespace Pw {

// The preview of one list entry: the letterboxed picture and the three information texts.
struct Preview
{
    QString path;
    QImage image;  // canvasSize, the picture letterboxed on the background colour
    QString title; // lblInfo0: 【相片name】 or 【图片name】
    QString size;  // lblInfo1: →宽..像素,高..像素,文件大小为:..
    QString times; // lblInfo2: creation, access, write and, for photos, shooting time
    bool photo = false;
};

// Draws path letterboxed onto a canvasSize canvas of the background colour (the picture
// service's DrawLetterbox, decoding reduced) and reads its size, times and camera stamp. A file
// that does not load leaves the canvas plain and reports 0 x 0. Thread-safe.
Preview LoadPreview(const QString &path, QSize canvasSize, const QColor &background);

// The information texts; lines are separated by '\n'.
QString PreviewTitle(const QString &fileName, bool photo);
QString PreviewSizeText(int width, int height, qint64 bytes);
QString PreviewTimesText(const FileTimes &times, const QString &cameraModel,
                         const QString &shotTime);

// The first information line after select none.
QString SelectNoneHint();

// What a drop onto step 1 asks for: the folder to list and, when files were dropped, the
// pictures among them to select (bare names). An empty folder means the drop is refused:
// nothing local, files from more than one folder, or no picture among the files.
struct DroppedSource
{
    QString folder; // ends with '/'
    QStringList names;
};
DroppedSource ResolveDrop(const QStringList &localPaths);

// What `pixwright FOLDER` or `pixwright FILE...` (the desktop's "Open with") opens: the first
// path that exists decides. A folder is listed whole; files give their folder with the pictures
// among them of that folder selected. Everything else (paths of other folders, a second folder,
// missing paths, files that are no picture) is left out and counted. An empty folder: nothing
// could be opened.
struct OpenedSource
{
    DroppedSource source;
    int leftOut = 0;
};
OpenedSource ResolveOpened(const QStringList &paths);

// The folder a typed text names: blanks trimmed, a leading "~" taken as the home folder,
// a trailing '/' added. Empty when the text is empty.
QString TypedFolder(const QString &text);

} // namespace Pw
