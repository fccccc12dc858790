#pragma once

#include <QString>

class QWidget;

namespace Pw {

// Folder chooser: the chosen folder without a trailing '/' (except "/" itself), or the empty
// text on cancel. An initial folder that no longer exists opens without a preselection.
QString BrowseForFolder(QWidget *owner, const QString &initialFolder, const QString &prompt);

// Chooses an existing file to open: its full path, or the empty text on cancel.
// filter is in Qt's form, e.g. "图片文件 (*.jpg *.bmp)".
QString ChooseFile(QWidget *owner, const QString &initialFolder, const QString &title,
                   const QString &filter);

} // namespace Pw
