#pragma once

#include "imaging/pictureservice.h"
#include "platform/fileutils.h"
#include "platform/sourceselection.h"

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
    QString problem; // why nothing could be drawn (PreviewProblem); empty when it was
};

// Draws path letterboxed onto a canvasSize canvas of the background colour (the picture
// service's DrawLetterbox, decoding reduced) and reads its size, times and camera stamp. A file
// that does not load leaves the canvas plain and reports 0 x 0. Thread-safe.
Preview LoadPreview(const QString &path, QSize canvasSize, const QColor &background);

// The information texts; lines are separated by '\n'.
QString PreviewTitle(const QString &fileName, bool photo);
QString PreviewSizeText(int width, int height, qint64 bytes);
// lblInfo1 of a file that cannot be drawn: the reason instead of a size of 0 x 0.
QString PreviewUnreadableText(const QString &problem, qint64 bytes);

// Why a file of the list cannot be previewed, in the user's words: not a regular file (a
// folder, a device, a pipe), not a picture at all, a picture whose data is damaged, or the
// picture service's own reason (too large). Empty when it was drawn. `measured` and
// `drawError` are what LoadAndMeasure and DrawLetterbox answered for it.
QString PreviewProblem(const QString &path, const PictureInfo &measured, const QString &drawError);

// The line the empty list shows: the folder does not exist, no type is ticked, or which types
// were looked for in it.
QString EmptyListNote(bool folderExists, PictureTypes types);
// The message when Next finds pictures listed but none of them selected.
QString NothingSelectedMessage();
// The message when a typed folder does not exist.
QString MissingFolderMessage(const QString &folder);

// Which bulk choice shows the state of the list: Op1 when every entry is selected, Op2 when
// none is, Op3 while the selection is the one the last invert made, none of them otherwise.
enum class BulkChoice { None, All, Nothing, Inverted };
BulkChoice BulkChoiceOf(int selected, int total, bool invertedJustNow);

// Where the folder dialog opens: the folder the path box names or, when that is gone, its
// nearest existing parent; the home folder when the box is empty.
QString FolderDialogStart(const QString &boxText);
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
